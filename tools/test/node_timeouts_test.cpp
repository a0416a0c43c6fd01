// What a silent, disconnecting or absent board costs a command: the exchange time-outs, the
// per-link locks while a command waits, the repair of a link the board has closed, and the pace
// of retries while the board is down. These tests wait
// out the real 10 s and 30 s time-outs.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "board_sim/board_simulator.hpp"
#include "support/node_process.hpp"
#include "support/node_test_support.hpp"
#include "support/ros_peer.hpp"
#include "support/simulated_board_test.hpp"
#include "test_support/poll_until.hpp"

namespace node_test {
namespace {

using board_sim::BoardSimulator;
using board_sim::CommandKind;
using board_sim::Link;
using board_sim::Scenario;
using Clock = std::chrono::steady_clock;

// A call in flight: when it was made and when its answer arrived.
struct PendingCall {
  std::shared_future<Operate::Response::SharedPtr> future;
  Clock::time_point start;
  std::shared_future<Clock::time_point> answered;
};

PendingCall Start(RosPeer& peer, const Operate::Request& request) {
  PendingCall call{peer.CallAsync(request), Clock::now(), {}};
  call.answered = std::async(std::launch::async, [future = call.future] {
                    future.wait_for(90s);
                    return Clock::now();
                  }).share();
  return call;
}

// Whole seconds from the call to its answer, or -1 when none came.
int SecondsUntilAnswer(const PendingCall& call) {
  const Clock::time_point answered = call.answered.get();
  if (call.future.wait_for(0s) != std::future_status::ready) {
    return -1;
  }
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::seconds>(answered - call.start).count());
}

bool BoardReceived(const BoardSimulator& sim, CommandKind kind, int32_t wheel_cmd = 0) {
  const auto requests = sim.Requests();
  return std::any_of(requests.begin(), requests.end(), [&](const auto& recorded) {
    return recorded.kind == kind && recorded.request.wheel_cmd().cmd() == wheel_cmd;
  });
}

bool WaitUntilBoardReceived(const BoardSimulator& sim, CommandKind kind, int32_t wheel_cmd = 0) {
  return test_support::PollUntil(10s, [&] { return BoardReceived(sim, kind, wheel_cmd); });
}

// The node serves "bottom_operate" and has connected both links to the board.
::testing::AssertionResult ServesWithBothLinks(RosPeer& peer, const BoardSimulator& sim) {
  if (!peer.WaitForNode()) {
    return ::testing::AssertionFailure() << "the node does not serve";
  }
  for (const Link link : {Link::kProcter, Link::kLight}) {
    if (!sim.WaitForConnections(link, 1, 5s)) {
      return ::testing::AssertionFailure() << board_sim::LinkName(link) << " link not connected";
    }
  }
  return ::testing::AssertionSuccess();
}

using NodeTimeoutsTest = SimulatedBoardTest;

TEST_F(NodeTimeoutsTest, SilentBoardCostsEachCommandItsTimeoutWhileOtherLinksGoOn) {
  for (const auto kind : board_sim::AllCommandKinds()) {
    if (kind != CommandKind::kLight) {
      sim_.SetScenario(kind, Scenario::Of(Scenario::Kind::kSilent));
    }
  }
  // One node: its board listeners hold fixed ports, so no second node can run beside it.
  NodeProcess node;
  RosPeer peer;
  ASSERT_TRUE(peer.WaitForNode());

  // The version query waits on the silent board, holding the procter link's lock.
  const PendingCall version = Start(peer, RosPeer::Command(10));
  ASSERT_TRUE(WaitUntilBoardReceived(sim_, CommandKind::kVersion));
  // A light command is served meanwhile.
  const auto light = peer.Call(RosPeer::Command(2), 10s);
  ASSERT_TRUE(light);
  EXPECT_EQ(light->status, 0);
  EXPECT_EQ(version.future.wait_for(0s), std::future_status::timeout);
  // A second procter command is taken up but waits for the lock: the board does not see it yet.
  auto wheel_request = RosPeer::Command(8);
  wheel_request.wheel_cmd = 6;
  const PendingCall wheel = Start(peer, wheel_request);
  ASSERT_TRUE(node.err().WaitFor("INFO WheelCommand call"));
  EXPECT_FALSE(BoardReceived(sim_, CommandKind::kWheel, 6));
  EXPECT_EQ(version.future.wait_for(0s), std::future_status::timeout);

  EXPECT_GE(SecondsUntilAnswer(version), 30);
  ASSERT_EQ(version.future.wait_for(0s), std::future_status::ready);
  EXPECT_EQ(version.future.get()->status, 1);
  EXPECT_EQ(version.future.get()->message, "fail to get version");
  // Only now does the wheel command reach the board, and wait out its own 30 s.
  EXPECT_TRUE(WaitUntilBoardReceived(sim_, CommandKind::kWheel, 6));
  ASSERT_NE(SecondsUntilAnswer(wheel), -1);
  // Less a moment for the two answers' different ways through DDS on a busy machine.
  EXPECT_GE(wheel.answered.get() - version.answered.get(), 29s);
  EXPECT_EQ(wheel.future.get()->status, 0);
  EXPECT_EQ(wheel.future.get()->message, "do WheelCommand fail");
  // The exchange's last line, written before the answer: the lines before it are all read then.
  ASSERT_TRUE(node.err().WaitFor("INFO procterRsp.has_error"));
  EXPECT_EQ(node.err().Count("ERROR ErrorCode: 100400016, Function exec timeout exit!"), 2u);
  EXPECT_EQ(node.err().Count("INFO procterRsp.has_error = 0, procter_flag = 0"), 1u);

  // Every other command that waits for the board, with the time-out the command table gives it.
  const std::map<int32_t, int> command_timeouts = {{0, 30}, {3, 10},  {4, 10}, {6, 30},
                                                   {7, 10}, {12, 30}, {13, 30}};
  for (const auto& [cmd, timeout] : command_timeouts) {
    const std::size_t first_line = node.err().Size();
    const PendingCall call = Start(peer, RosPeer::Command(cmd));
    const int seconds = SecondsUntilAnswer(call);
    EXPECT_GE(seconds, timeout) << "command " << cmd;
    EXPECT_LT(seconds, timeout + 10) << "command " << cmd;
    ASSERT_EQ(call.future.wait_for(0s), std::future_status::ready) << "command " << cmd;
    EXPECT_EQ(call.future.get()->status, 0) << "command " << cmd;
    EXPECT_EQ(call.future.get()->message, "SendCleaningComponentRequest failed")
        << "command " << cmd;
    ASSERT_TRUE(node.err().WaitFor("INFO resp.has_error", first_line)) << "command " << cmd;
    std::size_t timeouts = 0;
    std::size_t receive_timeouts = 0;
    for (const auto& line : node.err().LinesFrom(first_line)) {
      timeouts += line.find("100400016, Function exec timeout exit!") != std::string::npos;
      // Each receive attempt ends by the socket's 10 s receive time-out.
      receive_timeouts += line.find("SendCleaningComponentRequest response failed, rcvlen : -1") !=
                          std::string::npos;
    }
    EXPECT_EQ(timeouts, 1u) << "command " << cmd;
    EXPECT_EQ(receive_timeouts, static_cast<std::size_t>(timeout / 10)) << "command " << cmd;
  }
  // The node's own account tells a fault of the node from one of the test's peers.
  if (HasFailure()) {
    for (const auto& line : node.err().LinesFrom(0)) {
      std::cerr << "node: " << line << "\n";
    }
  }
}

TEST_F(NodeTimeoutsTest, LinkClosedByTheBoardIsRepairedOnTheNextReceive) {
  NodeProcess node;
  RosPeer peer;
  ASSERT_TRUE(ServesWithBothLinks(peer, sim_));
  peer.link_events().Clear();
  sim_.SetScenario(CommandKind::kStation, Scenario::Of(Scenario::Kind::kClose));

  // The board closes the link on receipt: the request is lost with it, and the exchange waits on
  // the new connection until its time-out.
  const auto lost = peer.Call(RosPeer::Command(3));
  ASSERT_TRUE(lost);
  EXPECT_EQ(lost->status, 0);
  EXPECT_EQ(lost->message, "SendCleaningComponentRequest failed");
  // The start-up connects' restored events may still come in first, if they reached us at all.
  auto events = peer.link_events().WaitFor(2);
  while (events.size() > 2 && events.front().event_status == 0) {
    events.erase(events.begin());
  }
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].event_id, 5303);
  EXPECT_EQ(events[0].event_status, 1);  // link lost
  EXPECT_EQ(events[1].event_id, 5303);
  EXPECT_EQ(events[1].event_status, 0);  // link restored
  EXPECT_GT(events[0].header.stamp.sec, 0);
  EXPECT_EQ(sim_.Connections(Link::kProcter), 2u);
  EXPECT_TRUE(node.err().WaitForCount(ConnectAttemptText(8080), 2));
  EXPECT_EQ(node.err().Count(ConnectAttemptText(8080)), 2u);

  // The repaired link carries the next command.
  const std::size_t events_before_second_call = peer.link_events().Messages().size();
  sim_.SetScenario(CommandKind::kStation, Scenario::Of(Scenario::Kind::kAccept));
  const auto answered = peer.Call(RosPeer::Command(3));
  ASSERT_TRUE(answered);
  EXPECT_EQ(answered->status, 0);
  EXPECT_EQ(answered->message, "");
  EXPECT_EQ(sim_.Connections(Link::kProcter), 2u);
  EXPECT_EQ(peer.link_events().Messages().back().event_status, 0);  // nothing new: still restored
  EXPECT_EQ(peer.link_events().Messages().size(), events_before_second_call);
  EXPECT_EQ(node.Terminate(), 0);
}

// A send-only command needs no answer, but it must have been sent: with no board on the light
// port the fill light fails at once and announces nothing. Once the board is back it is announced.
TEST_F(NodeTimeoutsTest, AFillLightThatCannotBeSentFailsAtOnceAndAnnouncesNothing) {
  NodeProcess node;
  RosPeer peer;
  ASSERT_TRUE(ServesWithBothLinks(peer, sim_));
  sim_.Stop();

  const auto off = peer.Call(RosPeer::Request("{cmd: 9, fill_light_led: {mode: 0}}"), 9s);
  ASSERT_TRUE(off);
  EXPECT_EQ(off->status, 1);
  EXPECT_EQ(off->message, "CleanCompReq send failed");

  std::string reason;
  ASSERT_TRUE(sim_.Start(&reason)) << reason;
  const auto on =
      peer.Call(RosPeer::Request("{cmd: 9, fill_light_led: {r_g_b_duty: 255, mode: 1}}"));
  ASSERT_TRUE(on);
  EXPECT_EQ(on->status, 0);
  // One publisher's events arrive in order: an event of the failed command would come first.
  const auto events = peer.robot_events().WaitFor(1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].event_type, 7);
  EXPECT_EQ(events[0].event_code, 70004);
  EXPECT_EQ(node.Terminate(), 0);
}

// Link events of one status among those received.
std::size_t CountStatus(const std::vector<velmoria_protocol::msg::DiagnosticEvent>& events,
                        int32_t status) {
  return static_cast<std::size_t>(std::count_if(events.begin(), events.end(), [&](const auto& e) {
    return e.event_id == 5303 && e.event_status == status;
  }));
}

// Attempts to connect the procter link logged from line first on, once the exchange's last line
// shows that every attempt's lines are in.
std::size_t ConnectAttemptsFrom(const NodeProcess& node, const std::string& attempt,
                                std::size_t first) {
  EXPECT_TRUE(node.err().WaitFor("INFO resp.has_error", first));
  std::size_t attempts = 0;
  for (const auto& line : node.err().LinesFrom(first)) {
    attempts += line.find(attempt) != std::string::npos;
  }
  return attempts;
}

// A board that is down refuses each connection at once: the exchange retries about ten times a
// second rather than back to back, and a board that comes up meanwhile is picked up at once.
TEST_F(NodeTimeoutsTest, ABoardThatIsDownIsRetriedTenTimesASecondUntilItComesUp) {
  NodeProcess node;
  RosPeer peer;
  ASSERT_TRUE(ServesWithBothLinks(peer, sim_));
  // Down under a connected node; the start-up's restored events may still be on their way.
  sim_.Stop();
  const std::string attempt = ConnectAttemptText(sim_.procter_port());
  std::size_t first_line = node.err().Size();
  peer.link_events().Clear();

  const PendingCall down = Start(peer, RosPeer::Command(3));
  EXPECT_GE(SecondsUntilAnswer(down), 10);
  ASSERT_EQ(down.future.wait_for(0s), std::future_status::ready);
  EXPECT_EQ(down.future.get()->status, 0);
  EXPECT_EQ(down.future.get()->message, "SendCleaningComponentRequest failed");
  const std::size_t attempts = ConnectAttemptsFrom(node, attempt, first_line);
  EXPECT_GE(attempts, 50u);
  EXPECT_LE(attempts, 150u);
  // One link-lost event per attempt: each follows the finding that the link is down.
  const auto lost = peer.link_events().WaitUntil(
      [&](const auto& events) { return CountStatus(events, 1) >= attempts; });
  EXPECT_EQ(CountStatus(lost, 1), attempts);

  // The board boots while the next command is being retried.
  peer.link_events().Clear();
  first_line = node.err().Size();
  const PendingCall booting = Start(peer, RosPeer::Command(3));
  ASSERT_TRUE(node.err().WaitForCount(attempt, node.err().Count(attempt) + 3));
  std::string reason;
  ASSERT_TRUE(sim_.Start(&reason)) << reason;
  EXPECT_LT(SecondsUntilAnswer(booting), 10);
  ASSERT_EQ(booting.future.wait_for(0s), std::future_status::ready);
  EXPECT_EQ(booting.future.get()->status, 0);
  EXPECT_EQ(booting.future.get()->message, "");
  // The last attempt restored the link.
  const std::size_t tries = ConnectAttemptsFrom(node, attempt, first_line);
  const auto events = peer.link_events().WaitUntil([&](const auto& received) {
    return CountStatus(received, 1) >= tries && CountStatus(received, 0) >= 1;
  });
  EXPECT_EQ(CountStatus(events, 1), tries);
  EXPECT_EQ(CountStatus(events, 0), 1u);
  EXPECT_EQ(node.Terminate(), 0);
}

// The board takes the request and closes the link, and its service, restarting, refuses
// connections: a receive that fails at once is paced like a failed send, not retried back to back.
TEST_F(NodeTimeoutsTest, AReceiveThatFailsAtOnceIsRetriedAboutTenTimesASecond) {
  NodeProcess node;
  RosPeer peer;
  ASSERT_TRUE(ServesWithBothLinks(peer, sim_));
  sim_.SetScenario(CommandKind::kStation, Scenario::Of(Scenario::Kind::kCloseRefuse));
  const std::size_t first_line = node.err().Size();

  const PendingCall call = Start(peer, RosPeer::Command(3));
  const auto seconds = std::chrono::duration<double>(call.answered.get() - call.start).count();
  ASSERT_EQ(call.future.wait_for(0s), std::future_status::ready);
  EXPECT_EQ(call.future.get()->status, 0);
  EXPECT_EQ(call.future.get()->message, "SendCleaningComponentRequest failed");
  EXPECT_TRUE(BoardReceived(sim_, CommandKind::kStation));
  const std::size_t attempts =
      ConnectAttemptsFrom(node, ConnectAttemptText(sim_.procter_port()), first_line);
  EXPECT_GE(attempts, 20u);  // the board is tried again all along the command's 10 s
  EXPECT_LE(attempts, 15 * seconds) << "over " << seconds << " s";
  EXPECT_EQ(node.Terminate(), 0);
}

}  // namespace
}  // namespace node_test

int main(int argc, char** argv) {
  return node_test::RunAllTests(argc, argv);
}
