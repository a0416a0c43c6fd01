// bottom_operate_call, topic_echo and the peers' stand-ins as separate processes, talking DDS to
// this test on loopback.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <google/protobuf/text_format.h>
#include <rclcpp/rclcpp.hpp>
#include <velmoria_protocol/msg/diagnostic_event.hpp>
#include <velmoria_protocol/msg/robot_event.hpp>
#include <velmoria_protocol/srv/bottom_interact_srv.hpp>
#include <velmoria_protocol/srv/robot_info_update.hpp>
#include <velmoria_protocol/srv/task_center_srv.hpp>

#include "child_process.hpp"
#include "robot/robot.pb.h"
#include "ros_tools/spin_thread.hpp"
#include "test_support/poll_until.hpp"
#include "test_support/test_domain.hpp"

namespace {

using BottomInteractSrv = velmoria_protocol::srv::BottomInteractSrv;
using RobotInfoUpdate = velmoria_protocol::srv::RobotInfoUpdate;
using TaskCenterSrv = velmoria_protocol::srv::TaskCenterSrv;
using test_support::ChildProcess;

constexpr std::chrono::milliseconds kWait{10000};
const std::string kCall = BOTTOM_OPERATE_CALL_PROGRAM;
const std::string kEcho = TOPIC_ECHO_PROGRAM;
const std::string kTaskCenter = TASK_CENTER_STANDIN_PROGRAM;
const std::string kRobotInfo = ROBOT_INFO_STANDIN_PROGRAM;

// A node of this test process, spun on its own thread while the test runs.
class RosToolsProcess : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    test_support::KeepDdsOnThisMachine();
    rclcpp::init(0, nullptr);
  }
  static void TearDownTestSuite() { rclcpp::shutdown(); }

  void SetUp() override {
    node_ = rclcpp::Node::make_shared("ros_tools_process_test");
    executor_.add_node(node_);
  }

  void StartSpinning() { spinner_.emplace(executor_); }

  void TearDown() override { spinner_.reset(); }

  // The last request the fake service received.
  std::optional<BottomInteractSrv::Request> ReceivedRequest() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }

  void OfferService(int32_t status, const std::string& message) {
    service_ = node_->create_service<BottomInteractSrv>(
        "bottom_operate",
        [this, status, message](const std::shared_ptr<BottomInteractSrv::Request> request,
                                std::shared_ptr<BottomInteractSrv::Response> response) {
          {
            std::lock_guard<std::mutex> lock(mutex_);
            received_ = *request;
          }
          response->status = status;
          response->message = message;
        });
  }

  // A client of a stand-in's service, made once it is served.
  template <typename ServiceT>
  typename rclcpp::Client<ServiceT>::SharedPtr ClientOf(const std::string& service) {
    auto client = node_->create_client<ServiceT>(service);
    EXPECT_TRUE(client->wait_for_service(kWait)) << service;
    return client;
  }

  // The response, or nothing when none came within timeout.
  template <typename ServiceT>
  static std::optional<typename ServiceT::Response> Call(
      const typename rclcpp::Client<ServiceT>::SharedPtr& client,
      const typename ServiceT::Request& request, std::chrono::milliseconds timeout = kWait) {
    auto future =
        client->async_send_request(std::make_shared<typename ServiceT::Request>(request)).future;
    if (future.wait_for(timeout) != std::future_status::ready) return std::nullopt;
    return *future.get();
  }

  rclcpp::Node::SharedPtr node_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::optional<ros_tools::SpinThread> spinner_;
  std::shared_ptr<rclcpp::Service<BottomInteractSrv>> service_;
  std::mutex mutex_;
  std::optional<BottomInteractSrv::Request> received_;
};

TEST_F(RosToolsProcess, CallSendsTheYamlRequestAndPrintsTheAnswer) {
  OfferService(3, "refused \"now\"");
  StartSpinning();
  ChildProcess call({kCall, "--wait", "10",
                     "{cmd: 12, component: {main_swp: {cmd: 1, duty: 50}}, self_clean: true}"});
  EXPECT_EQ(call.WaitExit(kWait), 0);
  EXPECT_NE(call.out().Text().find("status: 3\nmessage: \"refused \\\"now\\\"\"\n"),
            std::string::npos)
      << call.out().Text();
  const auto request = ReceivedRequest();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->cmd, 12);
  EXPECT_EQ(request->component.main_swp.cmd, 1);
  EXPECT_EQ(request->component.main_swp.duty, 50);
  EXPECT_TRUE(request->self_clean);
}

TEST_F(RosToolsProcess, SlowServiceRunsIntoTheTimeout) {
  // Shared with the callback, which may still run (or only begin) after this test's body.
  struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
  };
  const auto gate = std::make_shared<Gate>();
  service_ = node_->create_service<BottomInteractSrv>(
      "bottom_operate", [gate](const std::shared_ptr<BottomInteractSrv::Request>,
                               std::shared_ptr<BottomInteractSrv::Response>) {
        std::unique_lock<std::mutex> lock(gate->mutex);
        gate->opened.wait_for(lock, kWait, [&] { return gate->open; });
      });
  StartSpinning();
  ChildProcess call({kCall, "--timeout", "0.5", "{cmd: 8, wheel_cmd: 2}"});
  EXPECT_EQ(call.WaitExit(kWait), 1);
  EXPECT_NE(call.out().Text().find("no answer from 'bottom_operate' within 0.5 s"),
            std::string::npos);
  {
    std::lock_guard<std::mutex> lock(gate->mutex);
    gate->open = true;
  }
  gate->opened.notify_all();
}

// Publishes once the echo's subscription has matched, so no message is published into the void.
// The publisher is returned to be kept until the echo has its messages: a reliable writer that
// is gone cannot resend what the reader missed while it was still matching.
template <typename Message>
std::shared_ptr<rclcpp::Publisher<Message>> PublishWhenHeard(const rclcpp::Node::SharedPtr& node,
                                                             const std::string& topic,
                                                             const std::vector<Message>& messages) {
  auto publisher = node->create_publisher<Message>(topic, 10);
  EXPECT_TRUE(test_support::PollUntil(
      kWait, [&publisher] { return publisher->get_subscription_count() > 0; }));
  for (const auto& message : messages) publisher->publish(message);
  return publisher;
}

TEST_F(RosToolsProcess, EchoPrintsDiagnosticEventsAndStopsAfterCount) {
  ChildProcess echo({kEcho, "/task_center_diag_topic", "--count", "2"});
  ASSERT_TRUE(echo.out().WaitFor("echoing /task_center_diag_topic", 0, kWait));
  velmoria_protocol::msg::DiagnosticEvent lost;
  lost.header.stamp.sec = 12;
  lost.header.stamp.nanosec = 5;
  lost.event_id = 5303;
  lost.event_status = 1;
  auto restored = lost;
  restored.event_status = 0;
  const auto publisher = PublishWhenHeard<velmoria_protocol::msg::DiagnosticEvent>(
      node_, "/task_center_diag_topic", {lost, restored});
  EXPECT_EQ(echo.WaitExit(kWait), 0);
  const std::string output = echo.out().Text();
  EXPECT_NE(output.find("/task_center_diag_topic stamp: 12.000000005 {event_id: 5303, "
                        "event_status: 1}\n/task_center_diag_topic stamp: 12.000000005 "
                        "{event_id: 5303, event_status: 0}\n"),
            std::string::npos)
      << output;
}

TEST_F(RosToolsProcess, EchoPrintsRobotEvents) {
  ChildProcess echo({kEcho, "robot_event", "--count", "1"});
  ASSERT_TRUE(echo.out().WaitFor("echoing robot_event", 0, kWait));
  velmoria_protocol::msg::RobotEvent fill_light_on;
  fill_light_on.event_type = 7;
  fill_light_on.event_code = 70004;
  const auto publisher =
      PublishWhenHeard<velmoria_protocol::msg::RobotEvent>(node_, "robot_event", {fill_light_on});
  EXPECT_EQ(echo.WaitExit(kWait), 0);
  EXPECT_NE(echo.out().Text().find("robot_event stamp: 0.000000000 {event_type: 7, "
                                   "event_code: 70004}"),
            std::string::npos);
}

TEST_F(RosToolsProcess, TaskCenterStandInPrintsEachRequestAndAnswersItsResult) {
  StartSpinning();
  ChildProcess standin({kTaskCenter, "--result", "-7"});
  const auto client = ClientOf<TaskCenterSrv>("do_task");
  TaskCenterSrv::Request pause;
  pause.task_type = 200;
  pause.task_cmd = 5;
  pause.task_param = "a \"b\"";
  const auto answer = Call<TaskCenterSrv>(client, pause);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->result, -7);
  EXPECT_TRUE(
      standin.out().WaitFor("do_task task_type=200 task_cmd=5 task_param=\"a \"b\"\"", 0, kWait))
      << standin.out().Text();
}

TEST_F(RosToolsProcess, RobotInfoStandInPrintsTheDecodedReportLateAnswerAndUndecodableBytes) {
  StartSpinning();
  ChildProcess standin({kRobotInfo, "--status", "3", "--delay", "0.3"});
  const auto client = ClientOf<RobotInfoUpdate>("robot_info_update");
  robot::RobotInfo info;
  ASSERT_TRUE(google::protobuf::TextFormat::ParseFromString(
      "clean_robot_report { pause_btn: WorkPause } sensor_data { dust_box { value: 773 } } "
      "motor_data { seq: 7 }",
      &info));
  RobotInfoUpdate::Request update;
  update.robot_info = info.SerializeAsString();
  const auto sent = std::chrono::steady_clock::now();
  const auto answer = Call<RobotInfoUpdate>(client, update);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 3);
  EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(300));
  // The printed text reads back as the report that was sent.
  const std::string prefix = "robot_info_update: ";
  const auto line = standin.out().WaitFor(prefix, 0, kWait);
  ASSERT_TRUE(line);
  robot::RobotInfo printed;
  ASSERT_TRUE(google::protobuf::TextFormat::ParseFromString(line->substr(prefix.size()), &printed))
      << *line;
  EXPECT_EQ(printed.SerializeAsString(), update.robot_info) << *line;

  update.robot_info = std::string("\xff\xff", 2);
  EXPECT_TRUE(Call<RobotInfoUpdate>(client, update));
  EXPECT_TRUE(standin.out().WaitFor("robot_info_update: undecodable 2 bytes", 0, kWait));
}

// Every request held back is still printed, and a stop ends the held ones.
TEST_F(RosToolsProcess, SilentStandInPrintsRequestsItNeverAnswersAndStillStops) {
  StartSpinning();
  ChildProcess standin({kTaskCenter, "--silent"});
  const auto client = ClientOf<TaskCenterSrv>("do_task");
  std::vector<rclcpp::Client<TaskCenterSrv>::SharedFuture> pending;
  for (int32_t cmd : {1, 2}) {
    TaskCenterSrv::Request request;
    request.task_cmd = cmd;
    pending.push_back(client->async_send_request(std::make_shared<TaskCenterSrv::Request>(request))
                          .future.share());
  }
  EXPECT_TRUE(standin.out().WaitForCount("do_task task_type=0", 2, kWait)) << standin.out().Text();
  for (auto& future : pending) {
    EXPECT_NE(future.wait_for(std::chrono::milliseconds(0)), std::future_status::ready);
  }
  EXPECT_EQ(standin.Terminate(kWait), 0);
}

TEST_F(RosToolsProcess, CountOnlyStandInPrintsTheCountOnceASecond) {
  StartSpinning();
  ChildProcess standin({kRobotInfo, "--count-only"});
  const auto client = ClientOf<RobotInfoUpdate>("robot_info_update");
  for (int i = 0; i < 2; ++i)
    EXPECT_TRUE(Call<RobotInfoUpdate>(client, RobotInfoUpdate::Request()));
  EXPECT_TRUE(standin.out().WaitFor("received 2", 0, kWait)) << standin.out().Text();
  EXPECT_EQ(standin.out().Count("robot_info_update:"), 0u);
}

TEST_F(RosToolsProcess, RefusalsAreClearErrorsWithTheirExitStatus) {
  StartSpinning();  // no service offered
  const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
      {{kCall, "--wait", "0.5", "{cmd: 10}"}, 1, "service 'bottom_operate' is not available"},
      // Refused before any ROS traffic.
      {{kCall, "{cmd: x}"}, 2, "bad request: field 'cmd': 'x' is not an integer (int32)"},
      {{kEcho, "/chatter"}, 2, "unknown topic '/chatter'"},
      {{kTaskCenter, "--result", "5x"}, 2, "--result: '5x' is not a whole number (int32)"},
      {{kTaskCenter, "--result", "2147483648"}, 2, "is not a whole number (int32)"},
      {{kTaskCenter, "--count-only"}, 2, "unknown option '--count-only'"},
      {{kRobotInfo, "--delay", "-1"}, 2, "--delay: '-1' is not a number of seconds"},
      {{kRobotInfo, "now"}, 2, "unexpected argument 'now'"},
  };
  for (const auto& [arguments, status, text] : cases) {
    ChildProcess tool(arguments);
    EXPECT_EQ(tool.WaitExit(kWait), status) << arguments.back();
    EXPECT_NE(tool.out().Text().find(text), std::string::npos) << text;
  }
}

}  // namespace
