include(${CMAKE_CURRENT_LIST_DIR}/framing_tests.cmake)

# The node's link classes and board exchange, on loopback sockets with an in-process node.
add_library(node_test_support STATIC
  test/support/loopback_server.cpp
  test/support/node_environment.cpp
  test/support/node_test_main.cpp
  test/support/spun_nodes.cpp)
target_include_directories(node_test_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
find_package(bottom_interact_test_support REQUIRED)
target_link_libraries(node_test_support PUBLIC bottom_interact_node GTest::gtest
  bottom_interact_test_support::test_support)

function(node_add_gtest name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE node_test_support)
  ament_add_test(${name}
    COMMAND $<TARGET_FILE:${name}>
      --gtest_output=xml:${AMENT_TEST_RESULTS_DIR}/${PROJECT_NAME}/${name}.gtest.xml
    RESULT_FILE ${AMENT_TEST_RESULTS_DIR}/${PROJECT_NAME}/${name}.gtest.xml
    ENV ROS_LOCALHOST_ONLY=1
    TIMEOUT 120)
  # Sockets, executor and signal threads: picked by the ThreadSanitizer run.
  set_tests_properties(${name} PROPERTIES LABELS threaded)
endfunction()

node_add_gtest(tcp_link_test test/tcp_link_test.cpp)
node_add_gtest(board_exchange_test test/board_exchange_test.cpp)
node_add_gtest(sensor_data_test test/sensor_data_test.cpp)
node_add_gtest(socket_creation_test test/socket_creation_test.cpp)
node_add_gtest(listener_signals_test test/listener_signals_test.cpp)
# The level rules of /diagnostics: pure functions of counts and time, no ROS running.
framing_add_gtest(status_rules_test test/status_rules_test.cpp)
target_link_libraries(status_rules_test PRIVATE bottom_interact_node)
node_add_gtest(board_diagnostics_test test/board_diagnostics_test.cpp)
