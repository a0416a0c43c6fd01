// The node's health on /diagnostics against its real executable: a status per board link,
// listener, the battery unit and service peer, and how each follows a board that works, goes away,
// comes back or falls silent.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "board_sim/battery_unit.hpp"
#include "board_sim/datagram_sender.hpp"
#include "board_sim/report_pusher.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "ros_tools/spin_thread.hpp"
#include "support/listener_peer.hpp"
#include "support/loopback_board_test.hpp"
#include "support/node_process.hpp"
#include "support/node_test_support.hpp"
#include "support/ros_peer.hpp"
#include "test_support/scratch_dir.hpp"

namespace node_test {
namespace {

using Array = diagnostic_msgs::msg::DiagnosticArray;
using Status = diagnostic_msgs::msg::DiagnosticStatus;
using Clock = std::chrono::steady_clock;
using StatusCheck = std::function<bool(const Status&)>;

const char* const kSources[] = {"procter link", "light link",       "report connection",
                                "sensor data",  "motor data",       "battery unit",
                                "do_task",      "robot_info_update"};

std::optional<Status> Find(const Array& array, const std::string& what) {
  for (const auto& status : array.status) {
    if (status.name == "bottom_interact_center: " + what) {
      return status;
    }
  }
  return std::nullopt;
}

std::string Value(const Status& status, const std::string& key) {
  for (const auto& pair : status.values) {
    if (pair.key == key) {
      return pair.value;
    }
  }
  return "";
}

StatusCheck LevelIs(uint8_t level) {
  return [level](const Status& status) { return status.level == level; };
}

// /diagnostics as an operator's monitor reads it.
class DiagnosticsWatcher {
public:
  DiagnosticsWatcher()
      : node_(std::make_shared<rclcpp::Node>("diagnostics_watcher")),
        arrays_(*node_, "/diagnostics") {
    executor_.add_node(node_);
    spinner_.emplace(executor_);
  }

  // The first array received from now on that passes check.
  std::optional<Array> AwaitArray(const std::function<bool(const Array&)>& check,
                                  std::chrono::milliseconds timeout) {
    const std::size_t from = arrays_.Messages().size();
    std::optional<Array> found;
    arrays_.WaitUntil(
        [&](const std::vector<Array>& arrays) {
          for (std::size_t i = from; i < arrays.size() && !found; ++i) {
            if (check(arrays[i])) {
              found = arrays[i];
            }
          }
          return found.has_value();
        },
        timeout);
    return found;
  }
  // The first status of `what` that passes check, in an array received from now on.
  std::optional<Status> Await(const std::string& what, const StatusCheck& check,
                              std::chrono::milliseconds timeout) {
    const auto array = AwaitArray(
        [&](const Array& candidate) {
          const auto status = Find(candidate, what);
          return status && check(*status);
        },
        timeout);
    return array ? Find(*array, what) : std::nullopt;
  }
  std::size_t Received() { return arrays_.Messages().size(); }

private:
  rclcpp::Node::SharedPtr node_;
  TopicRecorder<Array> arrays_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::optional<ros_tools::SpinThread> spinner_;
};

class NodeDiagnosticsTest : public LoopbackBoardTest {
protected:
  void StartBoard() {
    board_ = std::make_unique<board_sim::BoardSimulator>(BoardOptions());
    std::string reason;
    ASSERT_TRUE(board_->Start(&reason)) << reason;
  }
  void StartNode(const std::vector<std::string>& ros_args) {
    node_ = std::make_unique<NodeProcess>(ros_args);
    ros_ = std::make_unique<RosPeer>();
    ASSERT_TRUE(ros_->WaitForNode());
  }
  bool VersionAnswered() {
    const auto response = ros_->Call(RosPeer::Command(10), 45s);
    return response && response->status == 0;
  }

  DiagnosticsWatcher watcher_;
  ListenerPeer peer_;
  std::unique_ptr<board_sim::BoardSimulator> board_;
  std::unique_ptr<NodeProcess> node_;
  std::unique_ptr<RosPeer> ros_;
};

TEST_F(NodeDiagnosticsTest, AWorkingBoardShowsEveryStatusWithItsHardwareIdAndNoError) {
  board_sim::BatteryUnit battery;
  std::string reason;
  ASSERT_TRUE(battery.Open(&reason)) << reason;
  battery.Stream({77, -100, 6666, 5230});
  StartBoard();
  StartNode({"-p", "battery_source_path:=" + battery.path()});
  ASSERT_TRUE(VersionAnswered());
  board_sim::ReportPusher reports;
  ASSERT_TRUE(reports.Connect(10s));
  ASSERT_TRUE(reports.Push(cleaning_component::CleanRobotReport()));
  board_sim::DatagramSender sensors;
  board_sim::DatagramSender motors;
  sensors.StreamFor(sensors.sensor_port(),
                    board_sim::DatagramSender::Frame(bottom_internal::SensorDataProto()), 100, 60s);
  motors.StreamFor(motors.motor_port(),
                   board_sim::DatagramSender::Frame(motor_data::MotorDataRep()), 100, 60s);

  // Everything flowing: no status above OK, each source named once with its hardware id.
  const auto healthy = watcher_.AwaitArray(
      [](const Array& array) {
        for (const auto& status : array.status) {
          if (status.level != Status::OK) {
            return false;
          }
        }
        const auto sensor_data = Find(array, "sensor data");
        const auto reports = Find(array, "report connection");
        return sensor_data && std::stoi(Value(*sensor_data, "rate (1/s)")) >= 50 && reports &&
               Value(*reports, "reports handled") == "1";
      },
      20s);
  ASSERT_TRUE(healthy) << "no array with every status OK, 50 datagrams/s and the report";
  std::set<std::string> named;
  for (const char* what : kSources) {
    const auto status = Find(*healthy, what);
    ASSERT_TRUE(status) << what;
    named.insert(status->name);
    EXPECT_EQ(status->hardware_id,
              std::string(what) == "battery unit" ? battery.path() : std::string("127.0.0.1"))
        << what;
  }
  EXPECT_EQ(healthy->status.size(), named.size());
  const Status sensor_data = *Find(*healthy, "sensor data");
  EXPECT_LE(std::stoi(Value(sensor_data, "rate (1/s)")), 110) << sensor_data.message;
  EXPECT_EQ(Value(*Find(*healthy, "procter link"), "connected"), "yes");

  // 100 datagrams a second on each port, levels steady: still about one array a second.
  const std::size_t before = watcher_.Received();
  std::this_thread::sleep_for(5s);
  const std::size_t arrays = watcher_.Received() - before;
  EXPECT_GE(arrays, 4u);
  EXPECT_LE(arrays, 7u);

  // The datagrams stop: stale once silent for more than 3 s, not before (the last one went out
  // up to one interval before the stop).
  sensors.StopStream();
  const auto stopped = Clock::now();
  EXPECT_TRUE(watcher_.Await("sensor data", LevelIs(Status::OK), 2s));
  const auto stale = watcher_.Await("sensor data", LevelIs(Status::STALE), 6s);
  ASSERT_TRUE(stale);
  EXPECT_GE(Clock::now() - stopped, 2900ms);
  EXPECT_EQ(stale->message.rfind("silent for ", 0), 0u) << stale->message;
  const auto motor_data = watcher_.Await(
      "motor data", [](const Status&) { return true; }, 3s);
  ASSERT_TRUE(motor_data);
  EXPECT_EQ(motor_data->level, Status::OK) << "motor datagrams still flow";

  // Both peers answered what went to them: a pause to the task center, reports and datagrams
  // to the robot information service.
  cleaning_component::CleanRobotReport pause;
  pause.set_pause_btn(cleaning_component::WorkPause);
  ASSERT_TRUE(reports.Push(pause));
  for (const char* peer : {"do_task", "robot_info_update"}) {
    const auto answered = watcher_.Await(
        peer,
        [](const Status& status) {
          return Value(status, "answered").find_first_not_of("0") != std::string::npos;
        },
        3s);
    EXPECT_TRUE(answered) << peer;
  }
  // The board leaves the report connection: shown at once, not at its next report.
  reports.Close();
  const auto gone = watcher_.Await("report connection", LevelIs(Status::WARN), 3s);
  ASSERT_TRUE(gone);
  EXPECT_EQ(Value(*gone, "board connected"), "no");
}

TEST_F(NodeDiagnosticsTest, ACommandLinkDownIsReportedWithinTwoSecondsAndItsReturnToo) {
  StartBoard();
  StartNode({"-p", "battery_source_path:=''"});
  ASSERT_TRUE(VersionAnswered());
  const auto up = watcher_.Await("procter link", LevelIs(Status::OK), 5s);
  ASSERT_TRUE(up);
  const int reconnects_before = std::stoi(Value(*up, "reconnects"));
  // No battery tty: the board's figures, said so at OK.
  const auto battery = watcher_.Await("battery unit", LevelIs(Status::OK), 3s);
  ASSERT_TRUE(battery);
  EXPECT_EQ(battery->hardware_id, "127.0.0.1");

  // The board's command ports close, and a command needs the link.
  board_.reset();
  auto answer = ros_->CallAsync(RosPeer::Command(10));
  const auto called = Clock::now();
  const auto down = watcher_.Await(
      "procter link", [](const Status& s) { return s.level >= Status::WARN; }, 2s);
  ASSERT_TRUE(down) << "no WARN or ERROR within 2 s of the command";
  EXPECT_LT(Clock::now() - called, 2500ms);
  const auto error = watcher_.Await("procter link", LevelIs(Status::ERROR), 3s);
  ASSERT_TRUE(error) << "not an ERROR while the board stays away";
  EXPECT_GT(std::stoi(Value(*error, "link lost events")), 0);

  // The board comes back: the command is answered, and the link is OK again within 2 s.
  StartBoard();
  ASSERT_EQ(answer.wait_for(40s), std::future_status::ready);
  EXPECT_EQ(answer.get()->status, 0);
  const auto answered = Clock::now();
  const auto back = watcher_.Await("procter link", LevelIs(Status::OK), 2s);
  ASSERT_TRUE(back) << "not OK within 2 s of the answer";
  EXPECT_LT(Clock::now() - answered, 2500ms);
  EXPECT_GT(std::stoi(Value(*back, "reconnects")), reconnects_before);
}

TEST_F(NodeDiagnosticsTest, ABatteryTtyLostIsAnErrorUntilItComesBack) {
  test_support::ScratchDir dir;
  board_sim::BatteryUnit battery;
  std::string reason;
  ASSERT_TRUE(battery.Open(&reason)) << reason;
  const std::string tty = dir.Link("tty_bat", battery.path());
  battery.Stream({77, -100, 6666, 5230});
  StartNode({"-p", "battery_source_path:=" + tty});
  // Opened at the first sensor datagram.
  EXPECT_TRUE(watcher_.Await("battery unit", LevelIs(Status::WARN), 5s));
  board_sim::DatagramSender sensors;
  sensors.StreamFor(sensors.sensor_port(),
                    board_sim::DatagramSender::Frame(bottom_internal::SensorDataProto()), 10, 60s);
  const auto reading = watcher_.Await("battery unit", LevelIs(Status::OK), 10s);
  ASSERT_TRUE(reading);
  EXPECT_EQ(reading->hardware_id, tty);
  EXPECT_EQ(Value(*reading, "tty"), "open");

  battery.Close();
  const auto lost = watcher_.Await("battery unit", LevelIs(Status::ERROR), 5s);
  ASSERT_TRUE(lost);
  EXPECT_EQ(Value(*lost, "tty"), "not open");

  board_sim::BatteryUnit replugged;
  ASSERT_TRUE(replugged.Open(&reason)) << reason;
  dir.Link("tty_bat", replugged.path());
  replugged.Stream({66, 100, 7, 5230});
  EXPECT_TRUE(watcher_.Await("battery unit", LevelIs(Status::OK), 6s));
}

}  // namespace
}  // namespace node_test

int main(int argc, char** argv) {
  return node_test::RunAllTests(argc, argv);
}
