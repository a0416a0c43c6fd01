// The DDS domain and interfaces of a test program and of the programs it starts.
#ifndef TEST_SUPPORT__TEST_DOMAIN_HPP_
#define TEST_SUPPORT__TEST_DOMAIN_HPP_

#include <cstddef>

namespace test_support {

// Keeps DDS on loopback (ROS_LOCALHOST_ONLY=1) in the domain the run chose (ROS_DOMAIN_ID, as
// scripts/test exports it), or else in one of 120..219 picked by process id, so that test
// programs started by hand do not see each other's nodes. Exports both, so that the contexts and
// child processes of the test use them too; returns the domain. Call before ROS starts.
std::size_t KeepDdsOnThisMachine();

}  // namespace test_support

#endif  // TEST_SUPPORT__TEST_DOMAIN_HPP_
