// Services between processes over real DDS: a client here, the server in api_test_peer.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdarg>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "peer_process.hpp"
#include "poll_until.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rcutils/logging.h"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

using velmoria_protocol::srv::BottomInteractSrv;
using namespace std::chrono_literals;

namespace {

// Discovery between processes normally takes milliseconds but may take one announcement period.
constexpr auto kDiscoveryTimeout = 15s;
constexpr auto kAnswerTimeout = 10s;

std::string unique_name(const std::string& stem) {
  return stem + "_" + std::to_string(getpid());
}

std::shared_ptr<BottomInteractSrv::Request> request(int32_t cmd, int32_t delay_ms = 0) {
  auto request = std::make_shared<BottomInteractSrv::Request>();
  request->cmd = cmd;
  request->station.cmd = cmd * 2;
  request->top_led.mode = 3;
  request->self_clean_time = delay_ms;
  return request;
}

std::string expected_message(int32_t cmd) {
  return "cmd " + std::to_string(cmd) + " station " + std::to_string(cmd * 2) + " led 3";
}

/// Debug lines of the logger "rclcpp", collected through an rcutils output handler while the
/// object lives.
class RclcppDebugLog {
public:
  RclcppDebugLog() {
    [[maybe_unused]] const auto ret =
        rcutils_logging_set_logger_level("rclcpp", RCUTILS_LOG_SEVERITY_DEBUG);
    previous_handler_ = rcutils_logging_get_output_handler();
    rcutils_logging_set_output_handler(&RclcppDebugLog::collect);
  }
  ~RclcppDebugLog() {
    rcutils_logging_set_output_handler(previous_handler_);
    [[maybe_unused]] const auto ret =
        rcutils_logging_set_logger_level("rclcpp", RCUTILS_LOG_SEVERITY_UNSET);
  }

  bool wait_for(const std::string& text, std::chrono::milliseconds timeout) {
    return poll_until(timeout, [&] {
      std::lock_guard<std::mutex> lock(mutex_);
      return text_.find(text) != std::string::npos;
    });
  }

private:
  static void collect(const rcutils_log_location_t*, int, const char* name,
                      rcutils_time_point_value_t, const char* format, va_list* args) {
    char line[512];
    vsnprintf(line, sizeof(line), format, *args);
    if (std::string(name) == "rclcpp") {
      std::lock_guard<std::mutex> lock(mutex_);
      text_ += std::string(line) + "\n";
    }
  }

  rcutils_logging_output_handler_t previous_handler_;
  static inline std::mutex mutex_;
  static inline std::string text_;
};

/// A client node here, spun by a MultiThreadedExecutor on a thread of its own with the client in
/// a Reentrant group, as the bridge node does it.
class ServiceProcessTest : public ::testing::Test {
protected:
  void SetUp() override {
    const char* argv[] = {"service_process_test"};
    context_ = std::make_shared<rclcpp::Context>();
    context_->init(1, argv);
    rclcpp::ExecutorOptions executor_options;
    executor_options.context = context_;
    executor_ = std::make_shared<rclcpp::executors::MultiThreadedExecutor>(executor_options, 2);
    node_ =
        std::make_shared<rclcpp::Node>("service_client", rclcpp::NodeOptions().context(context_));
    executor_->add_node(node_);
    spinner_ = std::thread([this] { executor_->spin(); });
    group_ = node_->create_callback_group(rclcpp::CallbackGroupType::Reentrant);
  }

  void TearDown() override {
    context_->shutdown("test done");
    spinner_.join();
  }

  std::unique_ptr<PeerProcess> start_server(const std::string& name, bool reentrant = false) {
    return std::make_unique<PeerProcess>(
        API_TEST_PEER,
        std::vector<std::string>{"--ros-args", "-p", "role:=server", "-p", "name:=" + name, "-p",
                                 std::string("reentrant:=") + (reentrant ? "true" : "false")});
  }

  rclcpp::Client<BottomInteractSrv>::SharedPtr client(const std::string& name) {
    return node_->create_client<BottomInteractSrv>(name, rmw_qos_profile_services_default, group_);
  }

  rclcpp::Context::SharedPtr context_;
  rclcpp::executors::MultiThreadedExecutor::SharedPtr executor_;
  rclcpp::Node::SharedPtr node_;
  rclcpp::CallbackGroup::SharedPtr group_;
  std::thread spinner_;
};

}  // namespace

TEST_F(ServiceProcessTest, AResponseFromAnotherProcessArrivesWithItsFieldsIntact) {
  const std::string name = unique_name("bottom_operate");
  auto server = start_server(name);
  auto cli = client(name);
  EXPECT_STREQ(cli->get_service_name(), ("/" + name).c_str());
  ASSERT_TRUE(cli->wait_for_service(kDiscoveryTimeout)) << server->output();
  EXPECT_TRUE(cli->service_is_ready());

  auto result = cli->async_send_request(request(21));
  ASSERT_EQ(result.wait_for(kAnswerTimeout), std::future_status::ready) << server->output();
  const auto response = result.get();
  EXPECT_EQ(response->status, 1021);
  EXPECT_EQ(response->message, expected_message(21));
  EXPECT_FALSE(cli->remove_pending_request(result.request_id));
}

TEST_F(ServiceProcessTest, WaitForServiceFailsAfterItsTimeoutWithoutAServer) {
  auto cli = client(unique_name("nobody_serves_this"));
  EXPECT_FALSE(cli->wait_for_service(0s));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(cli->wait_for_service(300ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_FALSE(cli->service_is_ready());
}

TEST_F(ServiceProcessTest, ALateAnswerAfterRemovePendingRequestChangesNothing) {
  const std::string name = unique_name("slow_operate");
  auto server = start_server(name);
  auto cli = client(name);
  ASSERT_TRUE(cli->wait_for_service(kDiscoveryTimeout)) << server->output();
  RclcppDebugLog debug_log;

  auto late = cli->async_send_request(request(1, 300));
  ASSERT_EQ(late.future.wait_for(20ms), std::future_status::timeout);
  EXPECT_TRUE(cli->remove_pending_request(late.request_id));
  EXPECT_FALSE(cli->remove_pending_request(late.request_id));
  // The promise is gone, so the future is broken, as in rclcpp.
  EXPECT_THROW(late.future.get(), std::future_error);

  // The server answers in order: the late answer arrives while this request is pending.
  auto next = cli->async_send_request(request(2));
  EXPECT_NE(next.request_id, late.request_id);
  ASSERT_EQ(next.wait_for(kAnswerTimeout), std::future_status::ready);
  const auto response = next.get();
  EXPECT_EQ(response->status, 1002);
  EXPECT_EQ(response->message, expected_message(2));
  EXPECT_TRUE(debug_log.wait_for("Received invalid sequence number. Ignoring...", kAnswerTimeout));
}

TEST_F(ServiceProcessTest, ThreadsOutsideTheExecutorBlockOnFuturesConcurrently) {
  const std::string name = unique_name("shared_operate");
  auto server = start_server(name, true);
  auto cli = client(name);
  ASSERT_TRUE(cli->wait_for_service(kDiscoveryTimeout)) << server->output();

  constexpr int kCallers = 4;
  std::vector<std::thread> callers;
  std::vector<std::shared_ptr<BottomInteractSrv::Response>> responses(kCallers);
  for (int i = 0; i < kCallers; ++i) {
    callers.emplace_back([&cli, &responses, i] {
      for (int round = 0; round < 5; ++round) {
        auto result = cli->async_send_request(request(100 * i + round));
        if (result.future.wait_for(kAnswerTimeout) != std::future_status::ready) {
          cli->remove_pending_request(result.request_id);
          return;
        }
        auto response = result.future.get();
        if (response->status != 1000 + 100 * i + round) {
          return;
        }
        responses[i] = response;
      }
    });
  }
  for (auto& caller : callers) {
    caller.join();
  }
  for (int i = 0; i < kCallers; ++i) {
    ASSERT_NE(responses[i], nullptr) << "caller " << i;
    EXPECT_EQ(responses[i]->message, expected_message(100 * i + 4));
  }
}

TEST_F(ServiceProcessTest, WaitForServiceEndsWhenTheContextShutsDown) {
  auto cli = client(unique_name("never_there"));
  auto waiting = std::async(std::launch::async, [&cli] { return cli->wait_for_service(); });
  ASSERT_EQ(waiting.wait_for(50ms), std::future_status::timeout);
  context_->shutdown("stop waiting");
  ASSERT_EQ(waiting.wait_for(5s), std::future_status::ready);
  EXPECT_FALSE(waiting.get());
  EXPECT_FALSE(cli->service_is_ready());
}
