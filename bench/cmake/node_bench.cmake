# The node's command round trip against the board simulator, and its idle cost.
add_executable(node_bench node_bench.cpp)
target_link_libraries(node_bench ${ROS_CLIENT_TARGETS} ${velmoria_protocol_TARGETS} Threads::Threads)
install(TARGETS node_bench DESTINATION lib/${PROJECT_NAME})
