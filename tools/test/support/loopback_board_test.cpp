#include "loopback_board_test.hpp"

#include "node_test_support.hpp"

namespace node_test {

void LoopbackBoardTest::SetUp() {
  if (!BoardIsLoopback()) {
    GTEST_SKIP() << "the board address is not loopback";
  }
}

}  // namespace node_test
