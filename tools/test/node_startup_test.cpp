// The node process from start to stop: start-up without a board, reconnecting on demand, the
// parameters given on the command line, a command line ROS refuses, and the exit status.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "board_sim/board_simulator.hpp"
#include "support/loopback_board_test.hpp"
#include "support/node_process.hpp"
#include "support/node_test_support.hpp"
#include "support/ros_peer.hpp"
#include "support/unanswered_port.hpp"
#include "test_support/poll_until.hpp"
#include "test_support/scratch_dir.hpp"

namespace node_test {
namespace {

using board_sim::BoardSimulator;
using board_sim::CommandKind;

using NodeStartupTest = LoopbackBoardTest;

TEST_F(NodeStartupTest, StartsWithoutBoardAndReconnectsWhenTheBoardAppears) {
  NodeProcess node;
  RosPeer peer;
  ASSERT_TRUE(peer.WaitForNode());
  for (const char* failed :
       {"ERROR ErrorCode: 100400001, tcp procter client connect to procter server failed",
        "ERROR ErrorCode: 100400002, tcp light client connect to light server failed"}) {
    EXPECT_TRUE(node.err().WaitForCount(failed, 1)) << failed;
    EXPECT_EQ(node.err().Count(failed), 1u) << failed;
  }

  // No board: the light link fails at once, after one connection attempt.
  auto request = RosPeer::Command(2);
  const auto refused = peer.Call(request, 10s);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 1);
  EXPECT_EQ(refused->message, "CleanCompReq send failed");
  ASSERT_EQ(peer.link_events().WaitFor(1).size(), 1u);
  peer.link_events().Clear();

  BoardSimulator sim(BoardOptions());
  std::string reason;
  ASSERT_TRUE(sim.Start(&reason)) << reason;
  const auto sent = peer.Call(request, 10s);
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->status, 0);
  EXPECT_TRUE(sim.WaitForRequests(1, 5s));
  const auto events = peer.link_events().WaitFor(2);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].event_status, 1);
  EXPECT_EQ(events[1].event_status, 0);

  ASSERT_TRUE(node.out().WaitFor("after advertiseService"));
  EXPECT_EQ(node.out().Lines(), std::vector<std::string>{"after advertiseService"});
  EXPECT_EQ(node.Terminate(), 0);  // SIGTERM is a normal shutdown
}

// The pump duties of a self-clean command when the node is started with ros_args.
struct PumpCase {
  std::vector<std::string> ros_args;
  int32_t mop_pump_duty;
  int32_t self_clean_pump_duty;
};

TEST_F(NodeStartupTest, PumpDutiesComeFromTheStartUpParameters) {
  BoardSimulator sim(BoardOptions());
  std::string reason;
  ASSERT_TRUE(sim.Start(&reason)) << reason;
  const std::vector<PumpCase> cases{
      {{"-p", "mop_pump:=55"}, 55, 20},
      {{"-p", "mop_pump:=' -7 litres'"}, -7, 20},  // a string, read as std::stoll does
      {{"-p", "mop_pump:=4294967351"}, 55, 20},    // 2^32 + 55: the low 32 bits
      {{"-p", "self_clean_pump:=33"}, 40, 33},
      {{"-p", "mop_pump:=7", "-p", "self_clean_pump:=0"}, 7, 0},
  };
  for (const auto& pump_case : cases) {
    const std::string args = pump_case.ros_args.back();
    sim.ClearRecord();
    NodeProcess node(pump_case.ros_args);
    RosPeer peer;
    ASSERT_TRUE(peer.WaitForNode()) << args;
    auto request = RosPeer::Command(4);
    request.self_clean = true;
    const auto response = peer.Call(request);
    ASSERT_TRUE(response) << args;
    EXPECT_EQ(response->status, 0) << args;
    ASSERT_TRUE(sim.WaitForRequests(1, 5s)) << args;
    const auto board = sim.Requests().front().request;
    EXPECT_EQ(board.mop_pump().cmd(), 1) << args;
    EXPECT_EQ(board.mop_pump().duty(), pump_case.mop_pump_duty) << args;
    EXPECT_EQ(board.self_clean_pump().cmd(), 1) << args;
    EXPECT_EQ(board.self_clean_pump().duty(), pump_case.self_clean_pump_duty) << args;
    EXPECT_EQ(node.err().Count("ERROR"), 0u) << args;
    EXPECT_EQ(node.Terminate(), 0) << args;
  }
}

TEST_F(NodeStartupTest, MopPumpThatIsNotANumberFallsBackToFortyWithAnError) {
  BoardSimulator sim(BoardOptions());
  std::string reason;
  ASSERT_TRUE(sim.Start(&reason)) << reason;
  NodeProcess node({"-p", "mop_pump:=strong"});
  RosPeer peer;
  ASSERT_TRUE(peer.WaitForNode());
  auto request = RosPeer::Command(4);
  request.self_clean = true;
  const auto response = peer.Call(request);
  ASSERT_TRUE(response);
  EXPECT_EQ(response->status, 0);
  ASSERT_TRUE(sim.WaitForRequests(1, 5s));
  EXPECT_EQ(sim.Requests().front().request.mop_pump().duty(), 40);
  const std::string fallback = "ERROR ErrorCode: 100400035, parameter mop_pump is not a number";
  EXPECT_TRUE(node.err().WaitForCount(fallback, 1));
  EXPECT_EQ(node.err().Count(fallback), 1u);
}

TEST_F(NodeStartupTest, WronglyTypedSelfCleanPumpEndsStartUpWithOneError) {
  NodeProcess node({"-p", "self_clean_pump:=high"});
  const auto status = node.WaitExit(20s);
  ASSERT_TRUE(status) << "the node did not exit on its own, or died by a signal";
  EXPECT_NE(*status, 0);
  ASSERT_TRUE(node.err().WaitFor("ERROR ErrorCode: 100400035"));
  EXPECT_EQ(node.err().Count("ERROR ErrorCode: 100400035"), 1u);
  EXPECT_EQ(node.err().Count("self_clean_pump"), 1u);
  EXPECT_EQ(node.out().Count("after advertiseService"), 0u);
}

TEST_F(NodeStartupTest, ACommandLineRosRefusesEndsStartUpWithOneLineAndStatusOne) {
  test_support::ScratchDir dir;
  const std::string broken = dir.Write(
      "broken.yaml", "bottom_interact_center:\n  ros__parameters:\n    self_clean_pump: [1, 2\n");
  const std::vector<std::vector<std::string>> refused{
      {"--params-file", dir.Path("missing.yaml")},
      {"--params-file", broken},
      {"--log-level", "nonsense"},
  };
  for (const auto& ros_args : refused) {
    const std::string argument = ros_args[0] + " " + ros_args[1];
    NodeProcess node(ros_args);
    const auto status = node.WaitExit(20s);
    ASSERT_TRUE(status) << argument << ": did not exit on its own, or died by a signal\n"
                        << node.err().Text();
    EXPECT_EQ(*status, 1) << argument;
    // Real rcl logs this bare line of its own before rclcpp throws.
    std::vector<std::string> lines = node.err().Lines();
    lines.erase(std::remove(lines.begin(), lines.end(), "ERROR Failed to parse global arguments"),
                lines.end());
    ASSERT_EQ(lines.size(), 1u) << argument << "\n" << node.err().Text();
    EXPECT_EQ(lines[0].rfind("bottom_interact_center: cannot start ROS: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("'" + argument + "'"), std::string::npos) << lines[0];  // rclcpp's
    EXPECT_TRUE(node.out().Lines().empty()) << argument;
  }
}

// True while main has SIGINT and SIGTERM set to be ignored, before ROS's handlers take them: ROS
// is starting.
bool IgnoresStopSignals(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("SigIgn:", 0) == 0) {
      const uint64_t stop_signals = (1ull << (SIGINT - 1)) | (1ull << (SIGTERM - 1));
      return (std::stoull(line.substr(7), nullptr, 16) & stop_signals) == stop_signals;
    }
  }
  return false;
}

// A parameter file that keeps ROS's start-up busy for a good while: parameters of another node.
std::string LongParameterFile(const test_support::ScratchDir& dir) {
  std::string yaml = "another_node:\n  ros__parameters:\n";
  for (int i = 0; i < 20000; ++i) {
    yaml += "    p" + std::to_string(i) + ": " + std::to_string(i) + "\n";
  }
  return dir.Write("long.yaml", yaml);
}

// Within this of a stop signal the node has ended, whatever it was waiting for (a connect waits up
// to 3 s); an ASan exit on a busy machine included.
constexpr auto kPromptStop = 2500ms;

// SIGTERM now: the node must end promptly with status 0 and log no ERROR line after the signal.
void ExpectPromptQuietStop(NodeProcess& node, const std::string& moment) {
  const std::size_t first_line_after = node.err().Size();
  const auto status = node.Terminate(kPromptStop);
  ASSERT_TRUE(status) << moment << ": not ended within the bound, or killed by a signal";
  EXPECT_EQ(*status, 0) << moment;
  for (const auto& line : node.err().LinesFrom(first_line_after)) {
    EXPECT_EQ(line.rfind("ERROR", 0), std::string::npos) << moment << ": " << line;
  }
}

// A board whose command ports take no connections (booting, a cable out) keeps the start-up in
// its connects for seconds; systemd may stop the node at any moment of it.
TEST_F(NodeStartupTest, AStopAtAnyMomentOfStartUpEndsTheNodePromptlyWithStatusZero) {
  UnansweredPort procter_port("127.0.0.1", 8080);
  UnansweredPort light_port("127.0.0.1", 8081);
  test_support::ScratchDir dir;
  const std::string kWhileRosStarts = "while ROS starts";
  struct Moment {
    std::string name;
    std::vector<std::string> ros_args;
    std::function<bool(NodeProcess&)> reached;
  };
  const std::vector<Moment> moments{
      // A signal that comes while ROS starts is held until its handlers are in place.
      {"while ROS starts",
       {"--params-file", LongParameterFile(dir)},
       [](NodeProcess& node) {
         return test_support::PollUntil(30s, [&node] { return IgnoresStopSignals(node.pid()); });
       }},
      {"in the procter link's connect",
       {},
       [](NodeProcess& node) {
         return node.err().WaitFor(ConnectAttemptText(8080), 0, 30s).has_value();
       }},
      {"in the light link's connect",
       {},
       [](NodeProcess& node) {
         return node.err().WaitFor(ConnectAttemptText(8081), 0, 30s).has_value();
       }},
  };
  for (const Moment& moment : moments) {
#if defined(__SANITIZE_THREAD__)
    // ThreadSanitizer hands a signal that was pending while blocked to ROS's handler only once
    // start-up is over (seen: 14 s later, status 0); the other builds check this moment.
    if (moment.name == kWhileRosStarts) {
      continue;
    }
#endif
    NodeProcess node(moment.ros_args);
    ASSERT_TRUE(moment.reached(node)) << moment.name << ": not reached\n" << node.err().Text();
    ExpectPromptQuietStop(node, moment.name);
  }
}

TEST_F(NodeStartupTest, AStopWhileACommandReconnectsToAnUnansweredBoardIsPromptAndQuiet) {
  UnansweredPort procter_port("127.0.0.1", 8080);
  NodeProcess node;
  RosPeer peer;
  ASSERT_TRUE(peer.WaitForNode(20s));  // the start-up's own connect waits out its 3 s
  const auto version = peer.CallAsync(RosPeer::Command(10));
  // The command finds the link down and reconnects: its connect now hangs.
  ASSERT_TRUE(node.err().WaitForCount(ConnectAttemptText(8080), 2));
  ExpectPromptQuietStop(node, "in a command's reconnect");
}

}  // namespace
}  // namespace node_test

int main(int argc, char** argv) {
  return node_test::RunAllTests(argc, argv);
}
