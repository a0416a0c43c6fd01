# The helpers both test groups share: peer processes, and those of every test program (polling,
# the test's DDS domain).
include_guard(GLOBAL)

find_package(bottom_interact_test_support REQUIRED)
set(test_support_dir ${CMAKE_CURRENT_SOURCE_DIR}/test/support)
add_library(lite_test_support STATIC
  ${test_support_dir}/own_sockets.cpp
  ${test_support_dir}/peer_process.cpp)
target_include_directories(lite_test_support PUBLIC ${test_support_dir})
target_link_libraries(lite_test_support PUBLIC ${PROJECT_NAME}
  bottom_interact_test_support::test_support)

# register_lite_test(<target> [threaded]): runs the target as a test on loopback DDS; "threaded"
# labels it for the ThreadSanitizer run.
function(register_lite_test name)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 180 ENVIRONMENT "ROS_LOCALHOST_ONLY=1")
  if("threaded" IN_LIST ARGN)
    set_tests_properties(${name} PROPERTIES LABELS threaded)
  endif()
endfunction()
