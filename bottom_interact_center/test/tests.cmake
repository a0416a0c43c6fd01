include(${CMAKE_CURRENT_LIST_DIR}/framing_tests.cmake)
