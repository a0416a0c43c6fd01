# Tests of the upper layers, rclcpp/ and rcl/: pure parts (arguments, names) and, labelled
# "threaded", what runs over real DDS: parameters (with their events), logging (with /rosout),
# executors, wall timers, services, topics and the parameter services, some against the
# api_test_peer process.
find_package(velmoria_protocol REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/support.cmake)

set(api_test_dir ${CMAKE_CURRENT_SOURCE_DIR}/test/api)

add_library(api_test_support STATIC ${api_test_dir}/api_test_main.cpp
  ${api_test_dir}/api_test_context.cpp ${api_test_dir}/overlap_probe.cpp)
target_link_libraries(api_test_support PUBLIC lite_test_support GTest::gtest)

add_executable(api_test_peer ${api_test_dir}/api_test_peer.cpp)
target_link_libraries(api_test_peer ${PROJECT_NAME} ${velmoria_protocol_TARGETS})

# add_api_test(<name> [threaded]): test/api/<name>.cpp as a gtest executable.
function(add_api_test name)
  add_executable(${name} ${api_test_dir}/${name}.cpp)
  target_link_libraries(${name} api_test_support ${velmoria_protocol_TARGETS})
  target_compile_definitions(${name} PRIVATE API_TEST_PEER="$<TARGET_FILE:api_test_peer>")
  add_dependencies(${name} api_test_peer)
  register_lite_test(${name} ${ARGN})
endfunction()

add_api_test(ros_arguments_test)
add_api_test(parameters_test threaded)
add_api_test(names_test)
add_api_test(logging_test threaded)
add_api_test(init_test threaded)
add_api_test(executor_test threaded)
add_api_test(timer_test threaded)
add_api_test(service_process_test threaded)
add_api_test(pub_sub_process_test threaded)
add_api_test(parameter_services_test threaded)
