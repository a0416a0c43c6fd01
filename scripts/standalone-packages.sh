# Sourced by scripts/build and scripts/test: the packages of standalone/, built only where no
# ROS 2 is installed, and skipped where one is (they would shadow the real ones).
standalone_packages=(builtin_interfaces std_msgs rclcpp_lite)
