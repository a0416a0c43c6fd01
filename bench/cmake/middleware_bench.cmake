# Plain Fast DDS request/reply and discovery timing, with rclcpp_lite's participant settings and
# CDR type but none of its endpoint code.
find_package(fastcdr REQUIRED)
find_package(fastrtps REQUIRED)
add_executable(raw_dds_roundtrip raw_dds_roundtrip.cpp)
target_link_libraries(raw_dds_roundtrip rclcpp_lite::rclcpp_lite ${velmoria_protocol_TARGETS}
  fastrtps fastcdr Threads::Threads)
install(TARGETS raw_dds_roundtrip DESTINATION lib/${PROJECT_NAME})
