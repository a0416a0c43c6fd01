// The node under faults, against its real executable: a board that drops its links, reconnects
// without end, floods or garbles; a battery unit that talks nonsense, vanishes and comes back; a
// battery path that is no terminal; peers that are slow; commands holding every executor thread;
// signals while everything waits. After each the node must still serve, and what it holds
// (descriptors) must be back where it was.
#include <gtest/gtest.h>

#include <dirent.h>
#include <google/protobuf/text_format.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "board_sim/battery_unit.hpp"
#include "board_sim/board_simulator.hpp"
#include "board_sim/datagram_sender.hpp"
#include "board_sim/report_pusher.hpp"
#include "bottom_interact_center/constants.hpp"
#include "support/listener_peer.hpp"
#include "support/node_process.hpp"
#include "support/node_test_support.hpp"
#include "support/ros_peer.hpp"
#include "support/simulated_board_test.hpp"
#include "test_support/scratch_dir.hpp"

namespace node_test {
namespace {

namespace cc = cleaning_component;
using board_sim::BoardSimulator;
using board_sim::CommandKind;
using board_sim::Scenario;
using Clock = std::chrono::steady_clock;

constexpr int32_t kLights = 2;
constexpr int32_t kStationQuery = 3;
constexpr uint32_t kMarkerSeq = 4242424242u;

std::size_t OpenDescriptors(pid_t pid) {
  const std::string path = "/proc/" + std::to_string(pid) + "/fd";
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) {
    ADD_FAILURE() << "cannot list " << path;
    return 0;
  }
  std::size_t count = 0;
  while (const dirent* entry = readdir(dir)) {
    count += entry->d_name[0] != '.';
  }
  closedir(dir);
  return count;
}

// The descriptor count once it has settled at expected (a connection just ended may take a
// moment to be closed), or what it is after a few seconds.
std::size_t DescriptorsSettlingAt(pid_t pid, std::size_t expected) {
  const auto deadline = Clock::now() + 5s;
  std::size_t count = OpenDescriptors(pid);
  while (count != expected && Clock::now() < deadline) {
    std::this_thread::sleep_for(20ms);
    count = OpenDescriptors(pid);
  }
  return count;
}

cc::CleanRobotReport WorkStatus(int status) {
  cc::CleanRobotReport report;
  report.mutable_work_status()->set_status(status);
  return report;
}

bottom_internal::SensorDataProto BoardBattery(int remain_ratio) {
  bottom_internal::SensorDataProto data;
  data.mutable_battery()->set_status(bottom_internal::SensorData_Valid);
  data.mutable_battery()->set_remain_ratio(remain_ratio);
  return data;
}

template <typename ResponseT, typename Field>
ResponseT Answer(Field ResponseT::*field, int32_t value) {
  ResponseT response;
  response.*field = value;
  return response;
}

class NodeFaultsTest : public SimulatedBoardTest {
protected:
  void StartNode(const std::vector<std::string>& ros_args = {"-p", "battery_source_path:=''"}) {
    node_ = std::make_unique<NodeProcess>(ros_args);
    ros_ = std::make_unique<RosPeer>();
    ASSERT_TRUE(ros_->WaitForNode());
  }

  const test_support::CapturedStream& log() { return node_->err(); }

  ::testing::AssertionResult StationQueryAnswered() {
    const auto answer = ros_->Call(RosPeer::Command(kStationQuery), 45s);
    if (!answer) {
      return ::testing::AssertionFailure() << "no answer";
    }
    // A command that ran into its time-out answers status 0 too, but with a message.
    if (answer->status != 0 || !answer->message.empty()) {
      return ::testing::AssertionFailure()
             << "status " << answer->status << ": " << answer->message;
    }
    return ::testing::AssertionSuccess();
  }

  // The battery figures of the next sensor datagram the node forwards.
  bottom_internal::BatteryData ForwardedBattery(const bottom_internal::SensorDataProto& data) {
    const std::size_t count = peer_->robot_info().Requests().size();
    EXPECT_TRUE(datagrams_.SendSensor(data));
    const auto infos = peer_->WaitForRobotInfos(count + 1);
    return infos.size() > count ? infos[count].sensor_data().battery()
                                : bottom_internal::BatteryData();
  }

  // Sends sensor data until the node forwards the battery's remain_ratio as expected.
  bool BatteryRatioBecomes(int expected, std::chrono::seconds within) {
    const auto deadline = Clock::now() + within;
    while (Clock::now() < deadline) {
      if (ForwardedBattery(BoardBattery(10)).remain_ratio() == expected) {
        return true;
      }
      std::this_thread::sleep_for(200ms);
    }
    return false;
  }

  // Whatever came before, the node answers a command and forwards a datagram sent after it.
  void ExpectStillServing() {
    sim_.ClearScenarios();
    EXPECT_TRUE(StationQueryAnswered());
    peer_->robot_info().AnswerWith(Answer(&RobotInfoUpdate::Response::status, 0));
    motor_data::MotorDataRep marker;
    marker.set_seq(kMarkerSeq);
    ASSERT_TRUE(datagrams_.SendMotor(marker));
    const auto deadline = Clock::now() + 20s;
    while (Clock::now() < deadline) {
      for (const auto& info : peer_->RobotInfos()) {
        if (info.has_motor_data() && info.motor_data().seq() == kMarkerSeq) {
          return;
        }
      }
      std::this_thread::sleep_for(20ms);
    }
    ADD_FAILURE() << "the datagram sent last was never forwarded";
  }

  std::unique_ptr<ListenerPeer> peer_ = std::make_unique<ListenerPeer>();
  std::unique_ptr<NodeProcess> node_;
  std::unique_ptr<RosPeer> ros_;
  board_sim::ReportPusher board_;
  board_sim::DatagramSender datagrams_;
};

TEST_F(NodeFaultsTest, ABoardThatClosesTheLinkAfterEveryAnswerCostsNoDescriptors) {
  sim_.SetDefaultScenario(Scenario::Of(Scenario::Kind::kAnswerClose));
  StartNode();
  ASSERT_TRUE(StationQueryAnswered());
  const std::size_t descriptors = OpenDescriptors(node_->pid());
  int unanswered = 0;
  for (int i = 0; i < 1000; ++i) {
    unanswered += !StationQueryAnswered();
  }
  EXPECT_EQ(unanswered, 0);
  EXPECT_EQ(log().Count("ERROR"), 0u);
  EXPECT_EQ(DescriptorsSettlingAt(node_->pid(), descriptors), descriptors);
  EXPECT_GE(sim_.Connections(board_sim::Link::kProcter), 1001u);
  ExpectStillServing();
}

TEST_F(NodeFaultsTest, AnswersByteByByteOrBehindAHundredOtherIdsAreFound) {
  StartNode();
  for (const auto kind : {Scenario::Kind::kBytewise, Scenario::Kind::kFlood}) {
    sim_.SetScenario(CommandKind::kStation, Scenario::Of(kind));
    EXPECT_TRUE(StationQueryAnswered()) << Scenario::Of(kind).ToString();
  }
  EXPECT_EQ(log().Count("ERROR"), 0u) << log().Text();
}

// Nothing waits for the board's answers to light commands: they are read and dropped as they come,
// and never fill the link, however many commands go out, nor leave the board blocked behind the
// last one.
TEST_F(NodeFaultsTest, ABoardAnsweringEveryLightCommandAtLengthIsNeverBlocked) {
  // 30 MB of answers in all, more than the sockets' buffers hold as first sized.
  sim_.SetScenario(CommandKind::kLight, Scenario::Version(std::string(60000, 'v')));
  StartNode();
  constexpr std::size_t kCommands = 500;
  for (std::size_t i = 0; i < kCommands; ++i) {
    const auto answer = ros_->Call(RosPeer::Command(kLights), 10s);
    ASSERT_TRUE(answer) << "command " << i;
    ASSERT_EQ(answer->status, 0) << "command " << i << ": " << answer->message;
  }
  EXPECT_TRUE(sim_.WaitForRequests(kCommands, 10s));
  EXPECT_EQ(sim_.Requests().size(), kCommands);
  ExpectStillServing();
}

TEST_F(NodeFaultsTest, ABurstOfThreeHundredReportsIsHandledInOrderOnePerPass) {
  StartNode();
  ASSERT_TRUE(board_.Connect(10s));
  std::vector<cc::CleanRobotReport> burst;
  for (int i = 0; i < 300; ++i) {
    burst.push_back(WorkStatus(i));
  }
  const auto sent = Clock::now();
  ASSERT_TRUE(board_.PushCoalesced(burst));
  const auto infos = peer_->WaitForRobotInfos(burst.size(), 90s);
  const auto took = Clock::now() - sent;
  ASSERT_EQ(infos.size(), burst.size());
  for (std::size_t i = 0; i < infos.size(); ++i) {
    ASSERT_EQ(infos[i].clean_robot_report().work_status().status(), static_cast<int>(i));
  }
  // The parser takes one report per 100 ms pass: the burst is spread, not swallowed at once.
  EXPECT_GE(took, 29s);
  ExpectStillServing();
}

TEST_F(NodeFaultsTest, ABoardReconnectingAThousandTimesCostsNoDescriptors) {
  StartNode();
  const std::string dropped = "INFO The connection has been disconnected, clear buffer";
  const auto reconnect = [&](std::size_t nth) {
    if (!board_.Connect(10s)) {
      return false;
    }
    board_.Close();
    return log().WaitForCount(dropped, nth, 10s);
  };
  // Counted before the first connection: the node is idle, holding only its listening sockets.
  const std::size_t descriptors = OpenDescriptors(node_->pid());
  for (std::size_t nth = 1; nth <= 1000; ++nth) {
    ASSERT_TRUE(reconnect(nth)) << "connection " << nth;
  }
  EXPECT_EQ(DescriptorsSettlingAt(node_->pid(), descriptors), descriptors);
  // The report connection still works.
  ASSERT_TRUE(board_.Connect(10s));
  ASSERT_TRUE(board_.Push(WorkStatus(7)));
  const auto infos = peer_->WaitForRobotInfos(1);
  ASSERT_EQ(infos.size(), 1u);
  EXPECT_EQ(infos[0].clean_robot_report().work_status().status(), 7);
  ExpectStillServing();
}

TEST_F(NodeFaultsTest, ADatagramFloodAtTenTimesTheBoardsRateLeavesTheNodeForwarding) {
  StartNode();
  board_sim::DatagramSender sensor_flood;
  board_sim::DatagramSender motor_flood;
  motor_data::MotorDataRep motors;
  motors.set_seq(1);
  sensor_flood.Stream(bottom_interact_center::kRobotInfoPort,
                      board_sim::DatagramSender::Frame(BoardBattery(50)), 1000, 5000);
  motor_flood.Stream(bottom_interact_center::kMotorDataPort,
                     board_sim::DatagramSender::Frame(motors), 1000, 5000);
  const auto deadline = Clock::now() + 30s;
  while ((sensor_flood.streamed() < 5000 || motor_flood.streamed() < 5000) &&
         Clock::now() < deadline) {
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_EQ(sensor_flood.streamed() + motor_flood.streamed(), 10000u);
  EXPECT_GT(peer_->robot_info().Requests().size(), 0u);
  ExpectStillServing();
}

TEST_F(NodeFaultsTest, ABatteryUnitTalkingNonsenseVanishingOrComingBackNeverStopsTheSensorPath) {
  test_support::ScratchDir dir;
  board_sim::BatteryUnit battery;
  std::string reason;
  ASSERT_TRUE(battery.Open(&reason)) << reason;
  // A stable name for the unit, as a udev rule gives it on the robot.
  const std::string tty = dir.Link("tty_bat", battery.path());
  StartNode({"-p", "battery_source_path:=" + tty});
  // The first sensor datagram opens the tty.
  EXPECT_EQ(ForwardedBattery(BoardBattery(10)).remain_ratio(), 10);
  ASSERT_TRUE(log().WaitFor("INFO _port_fd:"));

  // Garbage, a frame's first half, a frame with a wrong checksum, two start bytes: no reading.
  const board_sim::BatteryUnit::Reading reading{77, -100, 6666, 5230};
  const std::string frame = board_sim::BatteryUnit::Frame(reading);
  for (const std::string& bytes :
       {std::string(200, '\x5A'), frame.substr(0, 17), board_sim::BatteryUnit::Frame(reading, true),
        std::string("\xDD\x03", 2)}) {
    ASSERT_TRUE(battery.Write(bytes));
    std::this_thread::sleep_for(50ms);  // one read each, as a slow line would deliver them
    EXPECT_EQ(ForwardedBattery(BoardBattery(10)).remain_ratio(), 10);
  }
  // Good frames from then on: the reading arrives.
  battery.Stream(reading);
  EXPECT_TRUE(BatteryRatioBecomes(77, 10s));

  // The device vanishes: the last reading goes stale, the board's figures come back.
  battery.Close();
  EXPECT_TRUE(BatteryRatioBecomes(10, 10s));

  // It comes back under its name on another terminal: the node tries every 2 s and reads it.
  board_sim::BatteryUnit replugged;
  ASSERT_TRUE(replugged.Open(&reason)) << reason;
  dir.Link("tty_bat", replugged.path());
  replugged.Stream({66, 100, 7, 5230});
  EXPECT_TRUE(BatteryRatioBecomes(66, 3s));
  // One line for the loss and one for the return, none for the attempts between them.
  EXPECT_EQ(log().Count("ERROR ErrorCode: 100400037, battery tty " + tty + " lost"), 1u)
      << log().Text();
  EXPECT_EQ(log().Count("INFO battery tty " + tty + " is back"), 1u) << log().Text();
  EXPECT_EQ(log().Count("can not open tty port."), 0u);
  ExpectStillServing();
}

TEST_F(NodeFaultsTest, ABatteryPathThatGivesNoBytesIsHandledOnceAndTheStopStaysPrompt) {
  test_support::ScratchDir dir;
  const std::string fifo = dir.Path("tty_bat");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  board_sim::BatteryUnit silent;  // open, but it never sends
  std::string reason;
  ASSERT_TRUE(silent.Open(&reason)) << reason;
  const auto refused = [](const std::string& path) {
    return "ERROR ErrorCode: 100400036, battery tty " + path + " is not a terminal";
  };
  // A FIFO would block the reader for good, /dev/zero would never let it pause: both refused.
  // The silent unit is read, and its reader waits for bytes at most a second at a time. A path
  // with nothing behind it is tried again every 2 s, and said once.
  const std::vector<std::pair<std::string, std::string>> paths{
      {fifo, refused(fifo)},
      {"/dev/zero", refused("/dev/zero")},
      {silent.path(), "INFO _port_fd: "},
      {dir.Path("absent"), "INFO can not open tty port."},
  };
  for (const auto& [path, handled] : paths) {
    SCOPED_TRACE(path);
    StartNode({"-p", "battery_source_path:=" + path});
    // Sent again while the node has not found the robot information service yet.
    EXPECT_TRUE(BatteryRatioBecomes(10, 30s));
    EXPECT_TRUE(log().WaitFor(handled, 0, 20s)) << log().Text();
    std::this_thread::sleep_for(2500ms);  // long enough for the next attempt
    EXPECT_EQ(log().Count(handled), 1u) << log().Text();
    node_->Signal(SIGTERM);
    // Room for a sanitizer's exit scan, but not for a reader that waits 10 s for bytes.
    EXPECT_EQ(node_->WaitExit(4s), 0) << log().Text();
  }
}

TEST_F(NodeFaultsTest, ALateAnswerOfASlowServiceIsNotTakenForTheNextRequest) {
  using TaskResponse = TaskCenter::Response;
  using InfoResponse = RobotInfoUpdate::Response;
  StartNode();
  // robot_info_update: the first answer (accepted) comes after the node's 10 s; the next one
  // (refused) is still pending when the late one arrives, and must be the one the node reads.
  peer_->robot_info().AnswerWith(Answer(&InfoResponse::status, 0), 11s);
  ASSERT_TRUE(datagrams_.SendMotor(motor_data::MotorDataRep()));
  ASSERT_TRUE(log().WaitFor(
      "ERROR ErrorCode: 101400003, SyncCallService server:/robot_info_update timeout", 0, 20s));
  peer_->robot_info().AnswerWith(Answer(&InfoResponse::status, 7), 3s);
  ASSERT_TRUE(datagrams_.SendMotor(motor_data::MotorDataRep()));
  EXPECT_TRUE(log().WaitFor(
      "ERROR ErrorCode: 100400010, Update Robot Info failed!, robot_info_update_req status : 7", 0,
      10s));

  // do_task likewise: a late success must not stand for the refusal that follows it.
  peer_->task_center().AnswerWith(Answer(&TaskResponse::result, 0), 11s);
  ASSERT_TRUE(board_.Connect(10s));
  cc::CleanRobotReport pause;
  pause.set_pause_btn(cc::WorkPause);
  ASSERT_TRUE(board_.Push(pause));
  ASSERT_TRUE(
      log().WaitFor("ERROR ErrorCode: 101400003, SyncCallService server:/do_task timeout", 0, 20s));
  peer_->task_center().AnswerWith(Answer(&TaskResponse::result, 1), 3s);
  ASSERT_TRUE(board_.Push(pause));
  EXPECT_TRUE(log().WaitFor("ERROR ErrorCode: 100400006, Send pause single failed!", 0, 10s));
  EXPECT_EQ(peer_->task_center().WaitFor(2).size(), 2u);
  ExpectStillServing();
}

// Commands stuck on a silent board hold every executor thread of the node (one per core) and one
// more waits for a thread. The first thread to come free, when the station query gives up, goes to
// that command: the answers to the node's own calls must reach it all the same.
TEST_F(NodeFaultsTest, AReportIsForwardedWhileEveryExecutorThreadWaitsOnASilentBoard) {
  constexpr int32_t kWheel = 8;  // logs its start before it waits for the link; 30 s time-out
  sim_.SetDefaultScenario(Scenario::Of(Scenario::Kind::kSilent));
  StartNode();
  const std::size_t executor_threads = std::max(1u, std::thread::hardware_concurrency());
  const auto station = ros_->CallAsync(RosPeer::Command(kStationQuery));
  ASSERT_TRUE(sim_.WaitForRequests(1, 10s));
  std::vector<std::shared_future<Operate::Response::SharedPtr>> wheels;
  for (std::size_t i = 0; i < executor_threads; ++i) {
    wheels.push_back(ros_->CallAsync(RosPeer::Command(kWheel)));
  }
  // Every other thread has taken a wheel command, which waits for the link; the last one waits
  // for a thread.
  ASSERT_TRUE(log().WaitForCount("INFO WheelCommand call", executor_threads - 1));

  ASSERT_TRUE(board_.Connect(10s));
  cc::CleanRobotReport pause;
  pause.set_pause_btn(cc::WorkPause);
  ASSERT_TRUE(ReachesStandIn([&] { return board_.Push(pause); }, peer_->task_center()));
  const auto infos = peer_->WaitForRobotInfos(1, 15s);
  ASSERT_FALSE(infos.empty()) << log().Text();
  EXPECT_EQ(infos[0].clean_robot_report().pause_btn(), cc::WorkPause);
  EXPECT_EQ(log().Count("ErrorCode: 101400003"), 0u) << log().Text();
  for (const auto& wheel : wheels) {
    EXPECT_EQ(wheel.wait_for(0s), std::future_status::timeout);
  }
}

// A normal stop, quick and quiet (no ERROR line), whatever is cut short: SIGTERM while the peers
// hold their answers, SIGINT while the node still waits for them to appear. ros2 launch (on
// Ctrl-C) and systemd follow the first stop signal with another a few milliseconds later: the
// other one keeps coming every 2 ms until the node has ended, so some land after ROS has removed
// its handlers.
TEST_F(NodeFaultsTest,
       AStopSignalEndsTheNodePromptlyAndQuietlyWhateverItCutsShortAndMoreDoNotKillIt) {
  struct StopCase {
    int first;
    int second;
    bool peers_serve;
  };
  for (const auto& [first, second, peers_serve] :
       {StopCase{SIGTERM, SIGINT, true}, StopCase{SIGINT, SIGTERM, false}}) {
    SCOPED_TRACE(first == SIGTERM ? "SIGTERM, then SIGINTs" : "SIGINT, then SIGTERMs");
    sim_.SetDefaultScenario(Scenario::Of(Scenario::Kind::kSilent));
    peer_ = std::make_unique<ListenerPeer>(peers_serve);
    if (peers_serve) {
      peer_->task_center().Hold();
      peer_->robot_info().Hold();
    }
    board_sim::BatteryUnit battery;
    std::string reason;
    ASSERT_TRUE(battery.Open(&reason)) << reason;
    battery.Stream({77, -100, 6666, 5230});
    StartNode({"-p", "battery_source_path:=" + battery.path()});
    // A command waits on the silent board, the report parser on the task center, the motor and
    // sensor listeners on the robot information service, the battery reader on its tty.
    const auto call = ros_->CallAsync(RosPeer::Command(kStationQuery));
    ASSERT_TRUE(sim_.WaitForRequests(1, 10s));
    ASSERT_TRUE(board_.Connect(10s));
    cc::CleanRobotReport pause;
    pause.set_pause_btn(cc::WorkPause);
    if (peers_serve) {
      ASSERT_TRUE(ReachesStandIn([&] { return board_.Push(pause); }, peer_->task_center()));
      ASSERT_TRUE(ReachesStandIn([&] { return datagrams_.SendMotor(motor_data::MotorDataRep()); },
                                 peer_->robot_info()));
      const std::size_t forwards = peer_->robot_info().Requests().size();
      ASSERT_TRUE(datagrams_.SendSensor(BoardBattery(10)));
      ASSERT_GT(peer_->robot_info().WaitFor(forwards + 1).size(), forwards);
    } else {
      // Each waits up to 1 s for its service: the stop comes well within that.
      ASSERT_TRUE(datagrams_.SendMotor(motor_data::MotorDataRep()));
      ASSERT_TRUE(datagrams_.SendSensor(BoardBattery(10)));
      ASSERT_TRUE(board_.Push(pause));
      ASSERT_TRUE(log().WaitFor("INFO SendPauseSingle"));
    }
    ASSERT_TRUE(log().WaitFor("INFO _port_fd:"));

    const std::size_t mark = log().Size();
    node_->Signal(first);
    const auto stop_deadline = std::chrono::steady_clock::now() + 2s;
    while (!node_->WaitExit(2ms) && !node_->ended() &&
           std::chrono::steady_clock::now() < stop_deadline) {
      node_->Signal(second);
    }
    // Room for the sanitizers' exit checks; no status at all when a signal killed it.
    EXPECT_EQ(node_->WaitExit(3s), 0) << log().Text();
    EXPECT_EQ(log().Count("Failed to delete"), 0u);
    // The command waiting on the silent board says why it gave up.
    EXPECT_TRUE(log().WaitFor("INFO Board exchange given up, ROS is shutting down", mark, 0s));
    for (const auto& line : log().LinesFrom(mark)) {
      EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
    }

    board_.Close();
    ros_.reset();
    node_.reset();
    sim_.ClearRecord();
  }
}

}  // namespace
}  // namespace node_test

int main(int argc, char** argv) {
  return node_test::RunAllTests(argc, argv);
}
