# ROS command-line tools: bottom_operate_call (calls the service with a YAML request),
# topic_echo (prints the node's event topics and /diagnostics), and stand-ins for the node's peers:
# task_center_standin ("do_task") and robot_info_standin ("robot_info_update"). Installed to
# lib/${PROJECT_NAME}, as `ros2 run` expects.

find_package(PkgConfig REQUIRED)
pkg_check_modules(YAML REQUIRED IMPORTED_TARGET yaml-0.1)

# YAML text to and from generated ROS messages, through their introspection type support.
add_library(ros_tools STATIC
  src/ros_tools/message_filler.cpp
  src/ros_tools/message_formatter.cpp
  src/ros_tools/program_arguments.cpp
  src/ros_tools/request_tally.cpp
  src/ros_tools/stand_in_options.cpp
  src/ros_tools/yaml_value.cpp)
target_include_directories(ros_tools PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include)
target_link_libraries(ros_tools PUBLIC ${velmoria_protocol_TARGETS} Threads::Threads
  PRIVATE PkgConfig::YAML)

foreach(tool bottom_operate_call topic_echo task_center_standin robot_info_standin)
  add_executable(${tool} src/${tool}_main.cpp)
  target_link_libraries(${tool} PRIVATE ros_tools ${ROS_CLIENT_TARGETS} ${velmoria_protocol_TARGETS}
    ${diagnostic_msgs_TARGETS})
  install(TARGETS ${tool} RUNTIME DESTINATION lib/${PROJECT_NAME})
endforeach()
# It decodes the forwarded board data.
target_link_libraries(robot_info_standin PRIVATE bottom_interact_center::board_messages)
