// The DDS domain a test process uses, so that test runs on one machine do not meet.
#ifndef TEST_SUPPORT__TEST_DOMAIN_HPP_
#define TEST_SUPPORT__TEST_DOMAIN_HPP_

#include <cstddef>

/// ROS_DOMAIN_ID when it is set; otherwise one of 100..199 chosen by process id, which is then
/// exported so that the contexts and peer processes of the test use it too.
size_t test_domain_id();

#endif  // TEST_SUPPORT__TEST_DOMAIN_HPP_
