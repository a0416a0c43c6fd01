#include "simulated_board_test.hpp"

#include <string>

namespace node_test {

void SimulatedBoardTest::SetUp() {
  LoopbackBoardTest::SetUp();
  if (IsSkipped()) {
    return;
  }
  std::string reason;
  ASSERT_TRUE(sim_.Start(&reason)) << reason;
}

}  // namespace node_test
