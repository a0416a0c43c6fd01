// main of the rclcpp_lite API tests.
#include <gtest/gtest.h>

#include "test_support/test_domain.hpp"

int main(int argc, char** argv) {
  test_support::KeepDdsOnThisMachine();  // exports ROS_DOMAIN_ID for the contexts and peers of the
                                         // tests
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
