# The node: its classes as a library (linked by the program and the tests) and the program.
#   bottom_interact_node:   BottomInteractCenter, BottomInteractHandle, the TCP command links,
#                           the board listeners, the battery sensor, the clients' spinner and the
#                           health reporting on /diagnostics
#   bottom_interact_center: the executable, installed to lib/${PROJECT_NAME} for `ros2 run`

add_library(bottom_interact_node SHARED
  src/battery.cpp
  src/board_diagnostics.cpp
  src/board_link.cpp
  src/bottom_interact_center.cpp
  src/bottom_interact_handle.cpp
  src/cmd_report_server.cpp
  src/framed_datagram.cpp
  src/group_spinner.cpp
  src/link_drain.cpp
  src/link_frame_reader.cpp
  src/motor_data_server.cpp
  src/robot_info_server.cpp
  src/status_rules.cpp
  src/tcp_client.cpp
  src/tcp_server.cpp
  src/tcp_socket.cpp
  src/udp_server.cpp)
target_include_directories(bottom_interact_node PUBLIC
  $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:include/${PROJECT_NAME}>)
# The board and host addresses are compiled in; consumers of the header see the same values.
target_compile_definitions(bottom_interact_node PUBLIC
  BOTTOM_INTERACT_BOARD_ADDRESS="${BOARD_ADDRESS}"
  BOTTOM_INTERACT_HOST_ADDRESS="${HOST_ADDRESS}")
target_link_libraries(bottom_interact_node PUBLIC
  ${ROS_CLIENT_TARGETS}
  ${velmoria_protocol_TARGETS}
  ${diagnostic_msgs_TARGETS}
  board_framing
  Threads::Threads)

add_executable(bottom_interact_center src/main.cpp)
target_link_libraries(bottom_interact_center PRIVATE
  bottom_interact_node
  ${ROS_CLIENT_TARGETS}
  ${velmoria_protocol_TARGETS}
  board_framing)

install(DIRECTORY include/bottom_interact_center include/common_util
  DESTINATION include/${PROJECT_NAME})
install(TARGETS bottom_interact_node EXPORT ${PROJECT_NAME}Targets
  LIBRARY DESTINATION lib ARCHIVE DESTINATION lib RUNTIME DESTINATION bin)
install(TARGETS bottom_interact_center RUNTIME DESTINATION lib/${PROJECT_NAME})
