// The node process from start to stop: start-up without a board, reconnecting on demand, the
// parameters given on the command line, a command line ROS refuses, and the exit status.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "board_sim/board_simulator.hpp"
#include "board_sim/datagram_sender.hpp"
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
  EXPECT_EQ(node.err().Count(ConnectAttemptText(8081)), 2u);  // start-up's, then the command's
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

// Waits for the node just started, then turns self-cleaning on: the duties the board receives.
void ExpectSelfCleanDuties(BoardSimulator* sim, int32_t mop_pump_duty,
                           int32_t self_clean_pump_duty) {
  sim->ClearRecord();
  RosPeer peer;
  ASSERT_TRUE(peer.WaitForNode());
  auto request = RosPeer::Command(4);
  request.self_clean = true;
  const auto response = peer.Call(request);
  ASSERT_TRUE(response);
  EXPECT_EQ(response->status, 0);
  ASSERT_TRUE(sim->WaitForRequests(1, 5s));
  const auto board = sim->Requests().front().request;
  EXPECT_EQ(board.mop_pump().cmd(), 1);
  EXPECT_EQ(board.mop_pump().duty(), mop_pump_duty);
  EXPECT_EQ(board.self_clean_pump().cmd(), 1);
  EXPECT_EQ(board.self_clean_pump().duty(), self_clean_pump_duty);
}

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
    SCOPED_TRACE(pump_case.ros_args.back());
    NodeProcess node(pump_case.ros_args);
    ExpectSelfCleanDuties(&sim, pump_case.mop_pump_duty, pump_case.self_clean_pump_duty);
    EXPECT_EQ(node.err().Count("ERROR"), 0u) << node.err().Text();
    EXPECT_EQ(node.Terminate(), 0);
  }
}

// Where the value of the parameter name begins in a parameter file's text, and where its line ends.
std::pair<std::size_t, std::size_t> ValueSpan(const std::string& file_text,
                                              const std::string& name) {
  const std::string key = " " + name + ":";
  const std::size_t at = file_text.find(key);
  EXPECT_NE(at, std::string::npos) << name;
  if (at == std::string::npos) {
    return {file_text.size(), file_text.size()};
  }
  const std::size_t begin =
      std::min(file_text.find_first_not_of(' ', at + key.size()), file_text.size());
  return {begin, std::min(file_text.find('\n', begin), file_text.size())};
}

// The shipped parameter file's value of name, without quotes.
std::string ShippedValue(const std::string& file_text, const std::string& name) {
  const auto [begin, end] = ValueSpan(file_text, name);
  std::string value = file_text.substr(begin, end - begin);
  value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
  return value;
}

// The text with name's value replaced.
std::string WithValue(const std::string& file_text, const std::string& name,
                      const std::string& value) {
  const auto [begin, end] = ValueSpan(file_text, name);
  return file_text.substr(0, begin) + value + file_text.substr(end);
}

TEST_F(NodeStartupTest, TheInstalledParameterFileStartsTheNodeWithItsValues) {
  BoardSimulator sim(BoardOptions());
  std::string reason;
  ASSERT_TRUE(sim.Start(&reason)) << reason;
  std::ifstream installed(InstalledParameterFile());
  ASSERT_TRUE(installed) << InstalledParameterFile();
  const std::string shipped{std::istreambuf_iterator<char>(installed), {}};
  // Its values equal the node's defaults: a copy with other values shows that the file is read.
  test_support::ScratchDir dir;
  const std::string tty = dir.Path("tty_bat");
  std::string changed = WithValue(shipped, "self_clean_pump", "21");
  changed = WithValue(changed, "mop_pump", "41");
  changed = WithValue(changed, "battery_source_path", "\"" + tty + "\"");
  struct FileCase {
    std::string path;
    int32_t mop_pump_duty;
    int32_t self_clean_pump_duty;
    std::string battery_path;
  };
  const std::vector<FileCase> cases{
      {InstalledParameterFile(), std::stoi(ShippedValue(shipped, "mop_pump")),
       std::stoi(ShippedValue(shipped, "self_clean_pump")),
       ShippedValue(shipped, "battery_source_path")},
      {dir.Write("changed.yaml", changed), 41, 21, tty},
  };
  for (const auto& file : cases) {
    SCOPED_TRACE(file.path);
    NodeProcess node({"--params-file", file.path});
    ExpectSelfCleanDuties(&sim, file.mop_pump_duty, file.self_clean_pump_duty);
    EXPECT_TRUE(node.out().WaitFor("after advertiseService"));
    EXPECT_EQ(node.err().Count("ERROR"), 0u) << node.err().Text();
    // The battery tty is opened on the first sensor datagram.
    board_sim::DatagramSender board;
    ASSERT_TRUE(board.SendSensor(bottom_internal::SensorDataProto()));
    EXPECT_TRUE(node.err().WaitFor("INFO port: " + file.battery_path)) << node.err().Text();
    EXPECT_EQ(node.Terminate(), 0) << node.err().Text();
  }
}

TEST_F(NodeStartupTest, MopPumpThatIsNotANumberFallsBackToFortyWithAnError) {
  BoardSimulator sim(BoardOptions());
  std::string reason;
  ASSERT_TRUE(sim.Start(&reason)) << reason;
  NodeProcess node({"-p", "mop_pump:=strong"});
  ExpectSelfCleanDuties(&sim, 40, 20);
  const std::string fallback = "ERROR ErrorCode: 100400035, parameter mop_pump is not a number";
  EXPECT_TRUE(node.err().WaitForCount(fallback, 1));
  EXPECT_EQ(node.err().Count(fallback), 1u);
}

TEST_F(NodeStartupTest, AWronglyTypedStartUpParameterEndsStartUpWithOneErrorAndStatusOne) {
  BoardSimulator sim(BoardOptions());  // no connect errors beside the one expected
  std::string reason;
  ASSERT_TRUE(sim.Start(&reason)) << reason;
  for (const std::string name : {"self_clean_pump", "battery_source_path"}) {
    // A string where an integer is declared, an integer where a string is.
    const std::string value = name == "self_clean_pump" ? ":=high" : ":=7";
    NodeProcess node({"-p", name + value});
    const auto status = node.WaitExit(20s);
    ASSERT_TRUE(status) << name << ": did not exit on its own, or died by a signal";
    EXPECT_EQ(*status, 1) << name;
    ASSERT_TRUE(node.err().WaitFor("ERROR ErrorCode: 100400035")) << name;
    EXPECT_EQ(node.err().Count("ERROR"), 1u) << node.err().Text();
    EXPECT_EQ(node.err().Count(name), 1u) << node.err().Text();
    EXPECT_EQ(node.out().Count("after advertiseService"), 0u) << name;
  }
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
  for (int i = 0; i < 5000; ++i) {
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
    // rcl's own line when a stop lands inside the making of the node, which then fails and is
    // taken apart without its context; not one of the node's.
    if (line != "ERROR Failed to fini publisher for node: 1") {
      EXPECT_EQ(line.rfind("ERROR", 0), std::string::npos) << moment << ": " << line;
    }
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
