# Checks of the workspace's sources themselves.

# Everything that builds against real rclcpp on a robot includes only headers ROS 2 Humble has.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
ament_add_test(lite_only_includes_test
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/lite_only_includes_test.py
    ${CMAKE_CURRENT_SOURCE_DIR}/..
  GENERATE_RESULT_FOR_RETURN_CODE_ZERO
  TIMEOUT 60)
