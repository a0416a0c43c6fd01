# Interoperation of the build against the real rclcpp with the ROS 2 command-line tools and with
# the standalone build (on rclcpp_lite) of the same sources. Built only on a ROS 2 install, and
# only when told where the standalone build is installed (scripts/build ros does that).
set(BOTTOM_INTERACT_LITE_INSTALL "" CACHE PATH
  "Install folder of the standalone build, for the interoperation tests")
if(NOT rclcpp_FOUND OR NOT BOTTOM_INTERACT_LITE_INSTALL)
  return()
endif()

add_executable(ros_interop_test test/ros_interop_test.cpp test/support/standalone_build.cpp)
target_link_libraries(ros_interop_test PRIVATE node_test_harness)
target_compile_definitions(ros_interop_test PRIVATE
  BOTTOM_INTERACT_LITE_INSTALL="${BOTTOM_INTERACT_LITE_INSTALL}")
ament_add_test(ros_interop_test
  COMMAND $<TARGET_FILE:ros_interop_test>
    --gtest_output=xml:${AMENT_TEST_RESULTS_DIR}/${PROJECT_NAME}/ros_interop_test.gtest.xml
  RESULT_FILE ${AMENT_TEST_RESULTS_DIR}/${PROJECT_NAME}/ros_interop_test.gtest.xml
  ENV ROS_LOCALHOST_ONLY=1
  TIMEOUT 600)
set_tests_properties(ros_interop_test PROPERTIES LABELS interop RUN_SERIAL TRUE)
