# The board simulator: library board_sim (ROS-free, used by the program, the tests, the demo and
# the benchmarks) and the program board_sim.

add_library(board_sim STATIC
  src/board_sim/battery_unit.cpp
  src/board_sim/board_script.cpp
  src/board_sim/board_simulator.cpp
  src/board_sim/command_kind.cpp
  src/board_sim/command_line.cpp
  src/board_sim/datagram_sender.cpp
  src/board_sim/link.cpp
  src/board_sim/link_listener.cpp
  src/board_sim/reply_builder.cpp
  src/board_sim/report_pusher.cpp
  src/board_sim/scenario.cpp
  src/board_sim/text_parse_errors.cpp
  src/board_sim/traffic_record.cpp)
target_include_directories(board_sim PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include)
target_link_libraries(board_sim PUBLIC bottom_interact_center::board_framing Threads::Threads)
# The node's tests and the demo drive the listeners through it: the board's report connection,
# its sensor and motor datagrams and the battery unit.

# The target name differs from the library's; the program is still called board_sim.
add_executable(board_sim_program src/board_sim_main.cpp)
set_target_properties(board_sim_program PROPERTIES OUTPUT_NAME board_sim)
target_link_libraries(board_sim_program PRIVATE board_sim)
install(TARGETS board_sim_program RUNTIME DESTINATION lib/${PROJECT_NAME})
