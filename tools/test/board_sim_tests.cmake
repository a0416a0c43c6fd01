# Tests of the board simulator: its answers and records through real loopback sockets, its pure
# pieces, and the program.

# Programs run by the tests, their output captured line by line.
find_package(bottom_interact_test_support REQUIRED)
add_library(process_harness STATIC
  test/support/captured_stream.cpp
  test/support/child_process.cpp)
target_include_directories(process_harness PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/test/support)
target_link_libraries(process_harness PUBLIC Threads::Threads
  bottom_interact_test_support::test_support)

add_library(board_sim_test_support STATIC test/raw_board_client.cpp)
target_include_directories(board_sim_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/test)
target_link_libraries(board_sim_test_support PUBLIC
  process_harness bottom_interact_center::board_framing)

# A gtest executable run through ament, so colcon reports its cases:
#   tools_add_gtest(name SOURCES ... LIBRARIES ... [LABELS ...] [ENV VAR=value ...])
function(tools_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;LABELS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main)
  set(result ${AMENT_TEST_RESULTS_DIR}/${PROJECT_NAME}/${name}.gtest.xml)
  ament_add_test(${name}
    COMMAND $<TARGET_FILE:${name}> --gtest_output=xml:${result}
    RESULT_FILE ${result}
    ENV ${ARG_ENV}
    TIMEOUT 120)
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

tools_add_gtest(child_process_test SOURCES test/child_process_test.cpp LIBRARIES process_harness)

# "threaded": the simulator runs a thread per port.
foreach(name board_sim_scenarios_test board_sim_program_test board_sim_listener_side_test)
  tools_add_gtest(${name} SOURCES test/${name}.cpp
    LIBRARIES board_sim board_sim_test_support LABELS threaded)
endforeach()
target_compile_definitions(board_sim_program_test PRIVATE
  BOARD_SIM_PROGRAM="$<TARGET_FILE:board_sim_program>")
add_dependencies(board_sim_program_test board_sim_program)
include(${CMAKE_CURRENT_LIST_DIR}/ros_tools_tests.cmake)
