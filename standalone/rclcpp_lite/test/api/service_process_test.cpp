// Services between processes over real DDS: a client here, the server in api_test_peer.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "api_test_context.hpp"
#include "peer_process.hpp"
#include "rclcpp/rclcpp.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

using velmoria_protocol::srv::BottomInteractSrv;
using namespace std::chrono_literals;

namespace {

// Discovery between processes normally takes milliseconds but may take one announcement period.
constexpr auto kDiscoveryTimeout = 15s;
constexpr auto kAnswerTimeout = 10s;

std::shared_ptr<BottomInteractSrv::Request> request(int32_t cmd, int32_t delay_ms = 0) {
  auto request = std::make_shared<BottomInteractSrv::Request>();
  request->cmd = cmd;
  request->station.cmd = cmd * 2;
  request->top_led.mode = 3;
  request->self_clean_time = delay_ms;
  return request;
}

/// Whether the peer's answer to request(cmd) came back with every field it echoes.
testing::AssertionResult answers(const BottomInteractSrv::Response& response, int32_t cmd) {
  const std::string echo =
      "cmd " + std::to_string(cmd) + " station " + std::to_string(cmd * 2) + " led 3";
  if (response.status == cmd + 1000 && response.message == echo) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "cmd " << cmd << " answered with status " << response.status
                                     << ", '" << response.message << "'";
}

/// A client node here, spun by a MultiThreadedExecutor on a thread of its own with the client in
/// a Reentrant group, as the bridge node does it.
class ServiceProcessTest : public ContextTest {
protected:
  void SetUp() override {
    init({"service_process_test"});
    auto executor =
        std::make_shared<rclcpp::executors::MultiThreadedExecutor>(executor_options(), 2);
    node_ = std::make_shared<rclcpp::Node>("service_client", options());
    executor->add_node(node_);
    spin_in_background(executor);
    group_ = node_->create_callback_group(rclcpp::CallbackGroupType::Reentrant);
  }

  std::unique_ptr<PeerProcess> start_server(const std::string& name) {
    return std::make_unique<PeerProcess>(
        API_TEST_PEER, std::vector<std::string>{"--ros-args", "-p", "name:=" + name});
  }

  rclcpp::Client<BottomInteractSrv>::SharedPtr client(const std::string& name) {
    return node_->create_client<BottomInteractSrv>(name, rmw_qos_profile_services_default, group_);
  }

  rclcpp::Node::SharedPtr node_;
  rclcpp::CallbackGroup::SharedPtr group_;
};

}  // namespace

TEST_F(ServiceProcessTest, ALateAnswerAfterRemovePendingRequestLeavesTheNextOneIntact) {
  const std::string name = unique_name("slow_operate");
  auto server = start_server(name);
  auto cli = client(name);
  EXPECT_STREQ(cli->get_service_name(), ("/" + name).c_str());
  ASSERT_TRUE(cli->wait_for_service(kDiscoveryTimeout)) << server->output();
  EXPECT_TRUE(cli->service_is_ready());

  auto late = cli->async_send_request(request(1, 300));
  ASSERT_EQ(late.future.wait_for(20ms), std::future_status::timeout);
  EXPECT_TRUE(cli->remove_pending_request(late.request_id));
  EXPECT_FALSE(cli->remove_pending_request(late.request_id));
  // The promise is gone, so the future is broken, as in rclcpp.
  EXPECT_THROW(late.future.get(), std::future_error);

  // The server answers in order: the late answer arrives while this request is pending.
  auto next = cli->async_send_request(request(2));
  ASSERT_EQ(next.wait_for(kAnswerTimeout), std::future_status::ready) << server->output();
  EXPECT_TRUE(answers(*next.get(), 2));
  EXPECT_FALSE(cli->remove_pending_request(next.request_id));
}

TEST_F(ServiceProcessTest, WaitForServiceFailsAfterItsTimeoutOrWhenTheContextShutsDown) {
  auto cli = client(unique_name("nobody_serves_this"));
  EXPECT_FALSE(cli->wait_for_service(0s));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(cli->wait_for_service(300ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);

  auto waiting = std::async(std::launch::async, [&cli] { return cli->wait_for_service(); });
  ASSERT_EQ(waiting.wait_for(50ms), std::future_status::timeout);
  context_->shutdown("stop waiting");
  ASSERT_EQ(waiting.wait_for(5s), std::future_status::ready);
  EXPECT_FALSE(waiting.get());
  EXPECT_FALSE(cli->service_is_ready());
}
