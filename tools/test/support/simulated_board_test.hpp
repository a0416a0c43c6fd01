// An end-to-end test with a simulated board listening on the node's board address for the whole
// test.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__SIMULATED_BOARD_TEST_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__SIMULATED_BOARD_TEST_HPP_

#include "board_sim/board_simulator.hpp"
#include "loopback_board_test.hpp"
#include "node_test_support.hpp"

namespace node_test {

class SimulatedBoardTest : public LoopbackBoardTest {
protected:
  void SetUp() override;

  board_sim::BoardSimulator sim_{BoardOptions()};
};

}  // namespace node_test

#endif  // BOTTOM_INTERACT_TOOLS_TEST__SIMULATED_BOARD_TEST_HPP_
