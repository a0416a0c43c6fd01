# Tests of the ROS command-line tools' own logic (no DDS).
tools_add_gtest(ros_tools_yaml_test SOURCES test/ros_tools_yaml_test.cpp LIBRARIES ros_tools)

# The tools as processes against a service and publishers of the test, over DDS on loopback.
tools_add_gtest(ros_tools_process_test SOURCES test/ros_tools_process_test.cpp
  LIBRARIES process_harness ${ROS_CLIENT_TARGETS} ${velmoria_protocol_TARGETS}
  ENV ROS_LOCALHOST_ONLY=1)
target_compile_definitions(ros_tools_process_test PRIVATE
  BOTTOM_OPERATE_CALL_PROGRAM="$<TARGET_FILE:bottom_operate_call>"
  TOPIC_ECHO_PROGRAM="$<TARGET_FILE:topic_echo>")
add_dependencies(ros_tools_process_test bottom_operate_call topic_echo)
