// The base of every end-to-end test of the node: the node connects to its compiled-in board
// address, and tests run a board only on loopback, so on a robot build they are skipped.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__LOOPBACK_BOARD_TEST_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__LOOPBACK_BOARD_TEST_HPP_

#include <gtest/gtest.h>

namespace node_test {

class LoopbackBoardTest : public ::testing::Test {
protected:
  void SetUp() override;
};

}  // namespace node_test

#endif  // BOTTOM_INTERACT_TOOLS_TEST__LOOPBACK_BOARD_TEST_HPP_
