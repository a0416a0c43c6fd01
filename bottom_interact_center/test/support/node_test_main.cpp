// The entry of the in-process node tests: every one runs with g_node set up by NodeEnvironment.
#include <gtest/gtest.h>

#include "node_environment.hpp"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new bottom_interact_center::test::NodeEnvironment);
  return RUN_ALL_TESTS();
}
