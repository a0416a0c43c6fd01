// bottom_operate_call and topic_echo as separate processes, talking DDS to this test on loopback.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <rclcpp/rclcpp.hpp>
#include <velmoria_protocol/msg/diagnostic_event.hpp>
#include <velmoria_protocol/msg/robot_event.hpp>
#include <velmoria_protocol/srv/bottom_interact_srv.hpp>

#include "child_process.hpp"

namespace {

using BottomInteractSrv = velmoria_protocol::srv::BottomInteractSrv;
using test_support::ChildProcess;

constexpr std::chrono::milliseconds kWait{10000};
const std::string kCall = BOTTOM_OPERATE_CALL_PROGRAM;
const std::string kEcho = TOPIC_ECHO_PROGRAM;

// A node of this test process, spun on its own thread while the test runs.
class RosToolsProcess : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    // A DDS domain of this process and its children, so that nodes of other test runs on the
    // machine cannot publish into the echoes.
    setenv("ROS_DOMAIN_ID", std::to_string(150 + getpid() % 80).c_str(), 1);
    rclcpp::init(0, nullptr);
  }
  static void TearDownTestSuite() { rclcpp::shutdown(); }

  void SetUp() override {
    node_ = rclcpp::Node::make_shared("ros_tools_process_test");
    executor_.add_node(node_);
  }

  void StartSpinning() {
    spinner_ = std::thread([this] { executor_.spin(); });
  }

  void TearDown() override {
    executor_.cancel();
    if (spinner_.joinable()) spinner_.join();
  }

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

  rclcpp::Node::SharedPtr node_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::thread spinner_;
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
  std::mutex release_mutex;
  std::condition_variable release;
  bool released = false;
  service_ = node_->create_service<BottomInteractSrv>(
      "bottom_operate", [&](const std::shared_ptr<BottomInteractSrv::Request>,
                            std::shared_ptr<BottomInteractSrv::Response>) {
        std::unique_lock<std::mutex> lock(release_mutex);
        release.wait_for(lock, kWait, [&] { return released; });
      });
  StartSpinning();
  ChildProcess call({kCall, "--timeout", "0.5", "{cmd: 8, wheel_cmd: 2}"});
  EXPECT_EQ(call.WaitExit(kWait), 1);
  EXPECT_NE(call.out().Text().find("no answer from 'bottom_operate' within 0.5 s"),
            std::string::npos);
  {
    std::lock_guard<std::mutex> lock(release_mutex);
    released = true;
  }
  release.notify_all();
}

// Publishes once the echo's subscription has matched, so no message is published into the void.
// The publisher is returned to be kept until the echo has its messages: a reliable writer that
// is gone cannot resend what the reader missed while it was still matching.
template <typename Message>
std::shared_ptr<rclcpp::Publisher<Message>> PublishWhenHeard(const rclcpp::Node::SharedPtr& node,
                                                             const std::string& topic,
                                                             const std::vector<Message>& messages) {
  auto publisher = node->create_publisher<Message>(topic, 10);
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  while (publisher->get_subscription_count() == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_GT(publisher->get_subscription_count(), 0u);
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

TEST_F(RosToolsProcess, RefusalsAreClearErrorsWithTheirExitStatus) {
  StartSpinning();  // no service offered
  const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
      {{kCall, "--wait", "0.5", "{cmd: 10}"}, 1, "service 'bottom_operate' is not available"},
      // Refused before any ROS traffic.
      {{kCall, "{cmd: x}"}, 2, "bad request: field 'cmd': 'x' is not an integer (int32)"},
      {{kEcho, "/chatter"}, 2, "unknown topic '/chatter'"},
  };
  for (const auto& [arguments, status, text] : cases) {
    ChildProcess tool(arguments);
    EXPECT_EQ(tool.WaitExit(kWait), status) << arguments.back();
    EXPECT_NE(tool.out().Text().find(text), std::string::npos) << text;
  }
}

}  // namespace
