// main of the rclcpp_lite API tests.
#include <gtest/gtest.h>

#include "peer_process.hpp"

int main(int argc, char** argv) {
  use_own_dds_domain();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
