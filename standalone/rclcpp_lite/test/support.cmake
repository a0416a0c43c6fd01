# The helpers both test groups share: peer processes, polling, the test's DDS domain.
include_guard(GLOBAL)

set(test_support_dir ${CMAKE_CURRENT_SOURCE_DIR}/test/support)
add_library(test_support STATIC
  ${test_support_dir}/own_sockets.cpp
  ${test_support_dir}/peer_process.cpp
  ${test_support_dir}/poll_until.cpp
  ${test_support_dir}/test_domain.cpp)
target_include_directories(test_support PUBLIC ${test_support_dir})
target_link_libraries(test_support PUBLIC ${PROJECT_NAME})

# register_lite_test(<target> [threaded]): runs the target as a test on loopback DDS; "threaded"
# labels it for the ThreadSanitizer run.
function(register_lite_test name)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 180 ENVIRONMENT "ROS_LOCALHOST_ONLY=1")
  if("threaded" IN_LIST ARGN)
    set_tests_properties(${name} PROPERTIES LABELS threaded)
  endif()
endfunction()
