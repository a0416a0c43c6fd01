# Service round trip through the rclcpp API (rclcpp_lite here, rclcpp on a ROS 2 install).
add_executable(service_roundtrip service_roundtrip.cpp)
target_link_libraries(service_roundtrip ${ROS_CLIENT_TARGETS} ${velmoria_protocol_TARGETS} Threads::Threads)
install(TARGETS service_roundtrip DESTINATION lib/${PROJECT_NAME})
