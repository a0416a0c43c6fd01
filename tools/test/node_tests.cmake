# End-to-end tests of the node: its real executable as a child process, the simulated board in the
# test process, "bottom_operate" called over DDS on loopback. The board ports are fixed (8080,
# 8081), so these tests must run one after another.

# The installed node executable of the bottom_interact_center package found above.
get_filename_component(node_install_prefix "${bottom_interact_center_DIR}/../../.." ABSOLUTE)
set(node_executable "${node_install_prefix}/lib/bottom_interact_center/bottom_interact_center")
set(node_parameter_file
  "${node_install_prefix}/share/bottom_interact_center/config/bottom_interact_center.yaml")

add_library(node_test_harness STATIC
  test/support/node_process.cpp
  test/support/listener_peer.cpp
  test/support/loopback_board_test.cpp
  test/support/node_test_support.cpp
  test/support/ros_peer.cpp
  test/support/simulated_board_test.cpp
  test/support/unanswered_port.cpp)
target_include_directories(node_test_harness PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(node_test_harness PRIVATE NODE_EXECUTABLE="${node_executable}"
  NODE_PARAMETER_FILE="${node_parameter_file}")
target_link_libraries(node_test_harness PUBLIC
  board_sim
  process_harness
  ros_tools
  bottom_interact_center::bottom_interact_node
  ${ROS_CLIENT_TARGETS}
  ${velmoria_protocol_TARGETS}
  GTest::gtest)

# The label picks the test for a run: threaded (also under ThreadSanitizer) unless given.
function(node_add_e2e_test name timeout)
  set(label threaded)
  if(ARGC GREATER 2)
    set(label ${ARGV2})
  endif()
  add_executable(${name} test/${name}.cpp)
  target_link_libraries(${name} PRIVATE node_test_harness)
  ament_add_test(${name}
    COMMAND $<TARGET_FILE:${name}>
      --gtest_output=xml:${AMENT_TEST_RESULTS_DIR}/${PROJECT_NAME}/${name}.gtest.xml
    RESULT_FILE ${AMENT_TEST_RESULTS_DIR}/${PROJECT_NAME}/${name}.gtest.xml
    ENV ROS_LOCALHOST_ONLY=1
    TIMEOUT ${timeout})
  set_tests_properties(${name} PROPERTIES LABELS ${label} RUN_SERIAL TRUE)
endfunction()

node_add_e2e_test(node_commands_test 300)
node_add_e2e_test(node_startup_test 300)
node_add_e2e_test(node_timeouts_test 600)
node_add_e2e_test(node_listeners_test 400)
node_add_e2e_test(node_diagnostics_test 300)
# Faults of the board, its links and the node's peers, each followed by a check that the node
# still serves. Long (a thousand reconnects, a 30 s burst): not run under ThreadSanitizer.
node_add_e2e_test(node_faults_test 900 faults)
