# The node against the board simulator and peers of the benchmark itself:
#   node_bench      its command round trip, its idle cost, and what a board that is down costs
#   listener_bench  its sensor forwarding rate, and what it loses at the board's rate
find_package(bottom_interact_center REQUIRED)

add_library(bench_process STATIC bench_process.cpp)

add_executable(node_bench node_bench.cpp)
target_link_libraries(node_bench bench_process ${ROS_CLIENT_TARGETS} ${velmoria_protocol_TARGETS}
  bottom_interact_center::bottom_interact_node Threads::Threads)

add_executable(listener_bench listener_bench.cpp)
target_link_libraries(listener_bench bench_process ${ROS_CLIENT_TARGETS}
  ${velmoria_protocol_TARGETS} bottom_interact_center::bottom_interact_node Threads::Threads)

install(TARGETS node_bench listener_bench DESTINATION lib/${PROJECT_NAME})
