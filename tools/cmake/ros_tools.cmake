# ROS command-line tools: bottom_operate_call (calls the service with a YAML request) and
# topic_echo (prints the node's event topics). Installed to lib/${PROJECT_NAME}, as `ros2 run`
# expects.

find_package(PkgConfig REQUIRED)
pkg_check_modules(YAML REQUIRED IMPORTED_TARGET yaml-0.1)

# YAML text to and from generated ROS messages, through their introspection type support.
add_library(ros_tools STATIC
  src/ros_tools/message_filler.cpp
  src/ros_tools/message_formatter.cpp
  src/ros_tools/program_arguments.cpp
  src/ros_tools/yaml_value.cpp)
target_include_directories(ros_tools PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include)
target_link_libraries(ros_tools PUBLIC ${velmoria_protocol_TARGETS} PRIVATE PkgConfig::YAML)

foreach(tool bottom_operate_call topic_echo)
  add_executable(${tool} src/${tool}_main.cpp)
  target_link_libraries(${tool} PRIVATE ros_tools ${ROS_CLIENT_TARGETS} ${velmoria_protocol_TARGETS})
  install(TARGETS ${tool} RUNTIME DESTINATION lib/${PROJECT_NAME})
endforeach()
