# Interoperation of the build against the real rclcpp with the ROS 2 command-line tools and with
# the standalone build (on rclcpp_lite) of the same sources. Built only on a ROS 2 install, and
# only when told where the standalone build is installed (scripts/build ros does that).
set(BOTTOM_INTERACT_LITE_INSTALL "" CACHE PATH
  "Install folder of the standalone build, for the interoperation tests")
if(NOT rclcpp_FOUND OR NOT BOTTOM_INTERACT_LITE_INSTALL)
  return()
endif()

# The two builds' nodes and the ROS 2 command-line tools.
add_library(ros2_cli_harness STATIC test/support/ros2_cli.cpp test/support/standalone_build.cpp)
target_link_libraries(ros2_cli_harness PUBLIC node_test_harness)
target_compile_definitions(ros2_cli_harness PRIVATE
  BOTTOM_INTERACT_LITE_INSTALL="${BOTTOM_INTERACT_LITE_INSTALL}")

# ros_interop_test: the builds and the tools talking to each other; ros_graph_test: the
# standalone node in the tools' view of the graph (node list and info, parameters, /rosout).
foreach(name ros_interop_test ros_graph_test)
  node_add_e2e_test(${name} 600 interop)
  target_link_libraries(${name} PRIVATE ros2_cli_harness)
endforeach()
