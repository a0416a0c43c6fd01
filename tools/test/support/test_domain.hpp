// The DDS domain and interfaces of a test program and of the programs it starts.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__TEST_DOMAIN_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__TEST_DOMAIN_HPP_

namespace test_support {

// Keeps DDS on loopback (ROS_LOCALHOST_ONLY=1) in the domain the run chose (ROS_DOMAIN_ID, as
// scripts/test exports it), or else in one of 120..219 picked by process id, so that test
// programs started by hand do not see each other's nodes. Call before ROS starts; children
// inherit both.
void KeepDdsOnThisMachine();

}  // namespace test_support

#endif  // BOTTOM_INTERACT_TOOLS_TEST__TEST_DOMAIN_HPP_
