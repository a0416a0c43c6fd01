# Tests of the lower layers: the CDR codec (cdr/) and the endpoint cores of the middleware (rmw/)
# over real Fast DDS participants on loopback. DDS tests carry the "threaded" label.
find_package(std_msgs REQUIRED)
find_package(velmoria_protocol REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/support.cmake)

set(middleware_test_dir ${CMAKE_CURRENT_SOURCE_DIR}/test/middleware)

add_library(coverage_type_support STATIC ${middleware_test_dir}/coverage_type_support.cpp)
target_link_libraries(coverage_type_support PUBLIC ${PROJECT_NAME})

# add_middleware_test(<name> [threaded]): test/middleware/<name>.cpp as a gtest executable.
function(add_middleware_test name)
  add_executable(${name} ${middleware_test_dir}/${name}.cpp)
  target_link_libraries(${name} lite_test_support coverage_type_support ${velmoria_protocol_TARGETS}
    ${std_msgs_TARGETS} GTest::gtest_main)
  register_lite_test(${name} ${ARGN})
endfunction()

add_middleware_test(cdr_codec_test)
add_middleware_test(pub_sub_test threaded)
add_middleware_test(service_test threaded)
add_middleware_test(loopback_sockets_test threaded)
# A participant made in a network namespace of its own, for the test above to look at.
add_executable(localhost_only_probe ${middleware_test_dir}/localhost_only_probe.cpp)
target_link_libraries(localhost_only_probe lite_test_support ${velmoria_protocol_TARGETS})
target_compile_definitions(loopback_sockets_test PRIVATE
  LOCALHOST_ONLY_PROBE="$<TARGET_FILE:localhost_only_probe>")
