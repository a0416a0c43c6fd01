// What every end-to-end test program of the node shares: its environment and a few checks.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__NODE_TEST_SUPPORT_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__NODE_TEST_SUPPORT_HPP_

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "board_sim/board_simulator.hpp"
#include "robot/cleaning_component.pb.h"

namespace node_test {

// Runs the program's tests with DDS kept on loopback (see test_domain.hpp; the node children
// inherit the domain), and node log lines reduced to "SEVERITY message".
int RunAllTests(int argc, char** argv);

// The node connects to the compiled-in board address; tests run a board only on loopback.
bool BoardIsLoopback();

// A simulated board on the node's board address and the fixed command ports.
board_sim::BoardSimulator::Options BoardOptions();
// The node's "Try to connect server" text for a command port.
std::string ConnectAttemptText(int port);

// True when the two requests carry the same fields, sub-message presence included; otherwise a
// failure naming the differences.
::testing::AssertionResult SameRequest(const cleaning_component::CleaningComponentRequest& expected,
                                       const cleaning_component::CleaningComponentRequest& actual);
// The same for any two messages of one type.
::testing::AssertionResult SameMessage(const google::protobuf::Message& expected,
                                       const google::protobuf::Message& actual);

// Repeats send until the stand-in has a request. The node waits only 1 s for a service and drops
// what it cannot forward, and on a busy machine it may take longer than that to discover a peer
// that has just started.
template <typename Send, typename StandIn>
::testing::AssertionResult ReachesStandIn(Send send, StandIn& stand_in) {
  using namespace std::chrono_literals;
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (!send()) {
      return ::testing::AssertionFailure() << "could not send";
    }
    if (!stand_in.WaitFor(1, 2s).empty()) {
      return ::testing::AssertionSuccess();
    }
  }
  return ::testing::AssertionFailure() << "nothing reached the stand-in in 10 attempts";
}

}  // namespace node_test

#endif  // BOTTOM_INTERACT_TOOLS_TEST__NODE_TEST_SUPPORT_HPP_
