# Tests of the board simulator: its answers and records through real loopback sockets, its pure
# pieces, and the program.

add_library(board_sim_test_support STATIC
  test/board_requests.cpp
  test/child_process.cpp
  test/raw_board_client.cpp)
target_include_directories(board_sim_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/test)
target_link_libraries(board_sim_test_support PUBLIC bottom_interact_center::board_framing)

# A gtest executable run through ament, so colcon reports its cases. Labelled "threaded": the
# simulator runs a thread per port.
function(board_sim_add_gtest name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE board_sim board_sim_test_support GTest::gtest_main)
  set(result ${AMENT_TEST_RESULTS_DIR}/${PROJECT_NAME}/${name}.gtest.xml)
  ament_add_test(${name}
    COMMAND $<TARGET_FILE:${name}> --gtest_output=xml:${result}
    RESULT_FILE ${result}
    TIMEOUT 120)
  set_tests_properties(${name} PROPERTIES LABELS threaded)
endfunction()

board_sim_add_gtest(board_sim_scenarios_test test/board_sim_scenarios_test.cpp)
board_sim_add_gtest(board_sim_traffic_test test/board_sim_traffic_test.cpp)
board_sim_add_gtest(board_sim_parsing_test test/board_sim_parsing_test.cpp)
board_sim_add_gtest(board_sim_program_test test/board_sim_program_test.cpp)
target_compile_definitions(board_sim_program_test PRIVATE
  BOARD_SIM_PROGRAM="$<TARGET_FILE:board_sim_program>")
add_dependencies(board_sim_program_test board_sim_program)
