// The build against the real rclcpp, the standalone build of the same sources (on rclcpp_lite)
// and the ROS 2 command-line tools, all talking to each other over DDS on loopback: the ROS 2
// tools reach the standalone node, the standalone tools reach the real node, and the reports of
// both nodes reach a real rclcpp service byte for byte. The launch file is tried on the real node,
// `ros2 param` on both.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "board_sim/datagram_sender.hpp"
#include "board_sim/report_pusher.hpp"
#include "robot/robot.pb.h"
#include "support/listener_peer.hpp"
#include "support/node_process.hpp"
#include "support/node_test_support.hpp"
#include "support/ros2_cli.hpp"
#include "support/ros_peer.hpp"
#include "support/simulated_board_test.hpp"
#include "support/standalone_build.hpp"

namespace node_test {
namespace {

namespace cc = cleaning_component;
using board_sim::CommandKind;
using board_sim::Scenario;
using test_support::ChildProcess;
using Clock = std::chrono::steady_clock;

class RosInteropTest : public SimulatedBoardTest {
protected:
  // A program of the standalone build's tools, its output merged.
  static std::unique_ptr<ChildProcess> StartStandaloneTool(const char* program,
                                                           const std::vector<std::string>& args) {
    return std::make_unique<ChildProcess>(standalone::Command(program, args));
  }

  // A self-clean command (4) as the board received it.
  ::testing::AssertionResult SelfCleanDuties(RosPeer& ros, int32_t mop_pump, int32_t self_clean) {
    sim_.ClearRecord();
    auto request = RosPeer::Command(4);
    request.self_clean = true;
    const auto response = ros.Call(request);
    if (!response || response->status != 0) {
      return ::testing::AssertionFailure() << "command 4 not answered with status 0";
    }
    if (!sim_.WaitForRequests(1, 5s)) {
      return ::testing::AssertionFailure() << "command 4 did not reach the board";
    }
    const auto board = sim_.Requests().front().request;
    if (board.mop_pump().duty() != mop_pump || board.self_clean_pump().duty() != self_clean) {
      return ::testing::AssertionFailure()
             << "mop pump " << board.mop_pump().duty() << ", self-clean pump "
             << board.self_clean_pump().duty();
    }
    return ::testing::AssertionSuccess();
  }

  // `ros2 param get` and `set` on the node of a build; the set duty reaches the board at the next
  // self-clean command.
  void Ros2ParamGetsAndSets(Build build) {
    auto node = StartNode(build);
    RosPeer ros;
    ASSERT_TRUE(ros.WaitForNode());
    EXPECT_NE(
        Ros2Until({"param", "get", "--no-daemon", "/bottom_interact_center", "self_clean_pump"},
                  "Integer value is: 20")
            .find("Integer value is: 20"),
        std::string::npos);
    EXPECT_NE(
        Ros2Until({"param", "get", "--no-daemon", "/bottom_interact_center", "battery_source_path"},
                  "String value is: /dev/tty_bat")
            .find("String value is: /dev/tty_bat"),
        std::string::npos);
    EXPECT_NE(Ros2Until({"param", "set", "--no-daemon", "/bottom_interact_center",
                         "self_clean_pump", "44"},
                        "Set parameter successful")
                  .find("Set parameter successful"),
              std::string::npos);
    EXPECT_TRUE(SelfCleanDuties(ros, 40, 44));

    EXPECT_EQ(node->Terminate(), 0);
    EXPECT_EQ(node->err().Count("ERROR"), 0u) << node->err().Text();
    EXPECT_EQ(node->err().Count("Failed to"), 0u) << node->err().Text();
  }

  board_sim::ReportPusher board_;
  board_sim::DatagramSender datagrams_;
};

TEST_F(RosInteropTest, Ros2ToolsListCallAndEchoTheStandaloneNode) {
  sim_.SetScenario(CommandKind::kVersion, Scenario::Version("lite board 1.2"));
  auto node = StartNode(Build::kStandalone);
  RosPeer ros;
  ASSERT_TRUE(ros.WaitForNode());

  EXPECT_NE(Ros2Until({"service", "list", "-t", "--no-daemon"},
                      "/bottom_operate [velmoria_protocol/srv/BottomInteractSrv]")
                .find("/bottom_operate [velmoria_protocol/srv/BottomInteractSrv]"),
            std::string::npos);
  EXPECT_NE(Ros2Until({"service", "call", "/bottom_operate",
                       "velmoria_protocol/srv/BottomInteractSrv", "{cmd: 10}"},
                      "message='lite board 1.2'")
                .find("status=0, message='lite board 1.2'"),
            std::string::npos);

  auto fill_light = RosPeer::Command(9);
  fill_light.fill_light_led.mode = 1;
  auto robot_echo = Ros2({"topic", "echo", "--once", "--no-daemon", "/robot_event",
                          "velmoria_protocol/msg/RobotEvent"});
  EXPECT_NE(EchoWhile(*robot_echo, [&] { ros.Call(fill_light, 5s); }).find("event_code: 70004"),
            std::string::npos);

  ASSERT_TRUE(board_.Connect(10s));
  cc::CleanRobotReport diagnostic;
  diagnostic.mutable_diag_event()->set_event_id(4294967301);  // the low 32 bits are 5
  diagnostic.mutable_diag_event()->set_event_status(1);
  auto body_echo = Ros2({"topic", "echo", "--once", "--no-daemon", "/body_driver_diag_topic",
                         "velmoria_protocol/msg/DiagnosticEvent"});
  EXPECT_NE(EchoWhile(*body_echo, [&] { board_.Push(diagnostic); }).find("event_id: 5\n"),
            std::string::npos);

  // The board dropping its links: the next light command finds them lost and rebuilds them.
  auto link_echo = Ros2({"topic", "echo", "--once", "--no-daemon", "/task_center_diag_topic",
                         "velmoria_protocol/msg/DiagnosticEvent"});
  EXPECT_NE(EchoWhile(*link_echo,
                      [&] {
                        sim_.CloseConnections();
                        ros.Call(RosPeer::Command(2), 5s);
                      })
                .find("event_id: 5303"),
            std::string::npos);
  EXPECT_EQ(node->Terminate(), 0);
}

TEST_F(RosInteropTest, StandaloneToolsCallEchoAndStandInForThePeersOfTheRealNode) {
  sim_.SetScenario(CommandKind::kVersion, Scenario::Version("real board 3.4"));
  auto task_center = StartStandaloneTool(standalone::kTaskCenterStandIn, {"--result", "0"});
  auto robot_info = StartStandaloneTool(standalone::kRobotInfoStandIn, {"--status", "0"});
  auto node = StartNode(Build::kReal);
  RosPeer ros;
  ASSERT_TRUE(ros.WaitForNode());

  auto call = StartStandaloneTool(standalone::kBottomOperateCall, {"--wait", "20", "{cmd: 10}"});
  EXPECT_EQ(call->WaitExit(30s), 0);
  EXPECT_NE(call->out().Text().find("status: 0\nmessage: \"real board 3.4\"\n"), std::string::npos)
      << call->out().Text();

  auto echo = StartStandaloneTool(standalone::kTopicEcho, {"robot_event", "--count", "1"});
  ASSERT_TRUE(echo->out().WaitFor("echoing robot_event", 0, 20s));
  auto fill_light = RosPeer::Command(9);
  fill_light.fill_light_led.mode = 1;
  EXPECT_NE(EchoWhile(*echo, [&] { ros.Call(fill_light, 5s); })
                .find("{event_type: 7, event_code: 70004}"),
            std::string::npos);

  ASSERT_TRUE(board_.Connect(10s));
  cc::CleanRobotReport pause;
  pause.set_pause_btn(cc::WorkPause);
  const auto deadline = Clock::now() + 30s;
  while (!robot_info->out().WaitFor("robot_info_update: clean_robot_report", 0, 2s) &&
         Clock::now() < deadline) {
    board_.Push(pause);  // again, until the node has discovered both stand-ins
  }
  EXPECT_TRUE(task_center->out().WaitFor("do_task task_type=200 task_cmd=5", 0, 1s))
      << task_center->out().Text();
  EXPECT_TRUE(robot_info->out().WaitFor(
      "robot_info_update: clean_robot_report { pause_btn: WorkPause }", 0, 1s))
      << robot_info->out().Text();
  EXPECT_EQ(node->Terminate(), 0);
}

// Serialized protobuf holds a zero byte wherever a sub-message is empty or a value is 0; a string
// member cut at the first one would reach the service unparseable.
TEST_F(RosInteropTest, ReportsAndDatagramsWithZeroBytesReachARealServiceWholeFromBothBuilds) {
  motor_data::MotorDataRep motor;
  motor.set_seq(5);
  motor.mutable_main_brush_motor();  // at rest: an empty sub-message
  motor.mutable_roller_motor()->set_motor_rpm(1200);
  robot::RobotInfo motor_info;
  *motor_info.mutable_motor_data() = motor;
  const std::string motor_bytes = motor_info.SerializeAsString();
  ASSERT_NE(motor_bytes.find('\0'), std::string::npos);
  bottom_internal::SensorDataProto sensor;
  sensor.mutable_dust_box()->set_value(0);

  std::map<Build, std::string> sensor_bytes;
  for (const Build build : {Build::kReal, Build::kStandalone}) {
    SCOPED_TRACE(Name(build));
    ListenerPeer peer;
    auto node = StartNode(build);
    RosPeer ros;
    ASSERT_TRUE(ros.WaitForNode());
    auto& received = peer.robot_info();
    ASSERT_TRUE(board_.Connect(10s));
    ASSERT_TRUE(ReachesStandIn([&] { return board_.Push(cc::CleanRobotReport()); }, received));
    EXPECT_EQ(received.Requests().front().robot_info, std::string("\x0a\x00", 2));

    received.Clear();
    ASSERT_TRUE(datagrams_.SendMotor(motor));
    ASSERT_EQ(received.WaitFor(1).size(), 1u);
    EXPECT_EQ(received.Requests().front().robot_info, motor_bytes);

    received.Clear();
    ASSERT_TRUE(datagrams_.SendSensor(sensor));
    ASSERT_EQ(received.WaitFor(1).size(), 1u);
    sensor_bytes[build] = received.Requests().front().robot_info;
    robot::RobotInfo sensor_info;
    EXPECT_TRUE(sensor_info.ParseFromString(sensor_bytes[build]));
    EXPECT_TRUE(sensor_info.sensor_data().has_dust_box());

    board_.Close();
    EXPECT_EQ(node->Terminate(), 0);
  }
  EXPECT_EQ(sensor_bytes[Build::kReal], sensor_bytes[Build::kStandalone]);
}

TEST_F(RosInteropTest, LaunchFileStartsTheNodeWithItsParameterFileAndCtrlCEndsItCleanly) {
  const std::string params_file =
      "/tmp/bottom_interact_interop_" + std::to_string(getpid()) + ".yaml";
  std::ofstream(params_file) << "bottom_interact_center:\n  ros__parameters:\n"
                                "    self_clean_pump: 33\n    mop_pump: 55\n";
  // In a process group of its own, as a terminal puts it: Ctrl-C signals the whole group.
  ChildProcess launch({"/usr/bin/setsid", "ros2", "launch", "bottom_interact_center",
                       "bottom_interact_center.launch.py", "params_file:=" + params_file});
  RosPeer ros;
  ASSERT_TRUE(ros.WaitForNode(30s)) << launch.out().Text();
  EXPECT_TRUE(SelfCleanDuties(ros, 55, 33));

  kill(-launch.pid(), SIGINT);
  const auto status = launch.WaitExit(20s);
  const std::string output = launch.out().Text();
  EXPECT_EQ(status, 0) << output;
  EXPECT_NE(output.find("process has finished cleanly"), std::string::npos) << output;
  EXPECT_EQ(output.find("process has died"), std::string::npos) << output;
  std::remove(params_file.c_str());
}

TEST_F(RosInteropTest, Ros2ParamGetsAndSetsEitherNodesParametersAndSigtermEndsItQuietly) {
  for (const Build build : {Build::kReal, Build::kStandalone}) {
    SCOPED_TRACE(Name(build));
    Ros2ParamGetsAndSets(build);
  }
}

}  // namespace
}  // namespace node_test

int main(int argc, char** argv) {
  return node_test::RunAllTests(argc, argv);
}
