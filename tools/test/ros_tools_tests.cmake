# Tests of the ROS command-line tools' own logic (no DDS).
tools_add_gtest(ros_tools_yaml_test SOURCES test/ros_tools_yaml_test.cpp LIBRARIES ros_tools)

# The tools as processes against a service and publishers of the test, over DDS on loopback.
tools_add_gtest(ros_tools_process_test SOURCES test/ros_tools_process_test.cpp
  LIBRARIES process_harness ros_tools ${ROS_CLIENT_TARGETS} ${velmoria_protocol_TARGETS}
    bottom_interact_center::board_messages
  ENV ROS_LOCALHOST_ONLY=1)
target_compile_definitions(ros_tools_process_test PRIVATE
  BOTTOM_OPERATE_CALL_PROGRAM="$<TARGET_FILE:bottom_operate_call>"
  TOPIC_ECHO_PROGRAM="$<TARGET_FILE:topic_echo>"
  TASK_CENTER_STANDIN_PROGRAM="$<TARGET_FILE:task_center_standin>"
  ROBOT_INFO_STANDIN_PROGRAM="$<TARGET_FILE:robot_info_standin>")
add_dependencies(ros_tools_process_test
  bottom_operate_call topic_echo task_center_standin robot_info_standin)
