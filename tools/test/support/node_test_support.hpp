// What every end-to-end test program of the node shares: its environment and a few checks.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__NODE_TEST_SUPPORT_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__NODE_TEST_SUPPORT_HPP_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board_sim/board_simulator.hpp"
#include "robot/cleaning_component.pb.h"

namespace node_test {

// Runs the program's tests with DDS kept on loopback in a domain of this process's own (the node
// children inherit it), and node log lines reduced to "SEVERITY message".
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

}  // namespace node_test

#endif  // BOTTOM_INTERACT_TOOLS_TEST__NODE_TEST_SUPPORT_HPP_
