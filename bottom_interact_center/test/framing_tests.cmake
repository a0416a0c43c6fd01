# Unit tests of the board schema and the frame codecs.

# A gtest executable run through ament, so colcon reports its cases.
function(framing_add_gtest name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE board_framing GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  ament_add_test(${name}
    COMMAND $<TARGET_FILE:${name}>
      --gtest_output=xml:${AMENT_TEST_RESULTS_DIR}/${PROJECT_NAME}/${name}.gtest.xml
    RESULT_FILE ${AMENT_TEST_RESULTS_DIR}/${PROJECT_NAME}/${name}.gtest.xml
    TIMEOUT 60)
endfunction()

framing_add_gtest(board_messages_test test/board_messages_test.cpp)
framing_add_gtest(board_frame_test test/board_frame_test.cpp)
framing_add_gtest(frame_assembler_test test/frame_assembler_test.cpp)
framing_add_gtest(battery_frame_parser_test test/battery_frame_parser_test.cpp)
framing_add_gtest(report_buffer_test test/report_buffer_test.cpp)
