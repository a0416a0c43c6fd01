# Sourced by scripts/build and scripts/test: the packages of standalone/, stand-ins for ROS 2's
# own that are neither built nor tested where a ROS 2 install provides the real ones.
# shellcheck disable=SC2034
standalone_packages=(builtin_interfaces std_msgs rcl_interfaces rmw_dds_common rclcpp_lite)
