// Executors and callback groups within one process (over DDS on loopback): Reentrant groups run
// callbacks in parallel, MutuallyExclusive ones in turn; nodes, groups, cancel and shutdown.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "api_test_context.hpp"
#include "overlap_probe.hpp"
#include "rclcpp/rclcpp.hpp"
#include "test_support/poll_until.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

using velmoria_protocol::srv::BottomInteractSrv;
using namespace std::chrono_literals;

namespace {

constexpr auto kTimeout = 10s;

class ExecutorTest : public ContextTest {
protected:
  void SetUp() override {
    init({"executor_test"});
    node_ = std::make_shared<rclcpp::Node>("executor_test", options());
  }

  /// The most callbacks of one service that ran at once for two concurrent requests.
  int service_overlap(rclcpp::CallbackGroupType type, std::chrono::milliseconds patience) {
    OverlapProbe probe(patience);
    auto executor =
        std::make_shared<rclcpp::executors::MultiThreadedExecutor>(executor_options(), 4);
    executor->add_node(node_);
    auto server_group = node_->create_callback_group(type);
    auto client_group = node_->create_callback_group(rclcpp::CallbackGroupType::Reentrant);
    const std::string name = unique_name("overlap");
    auto service = node_->create_service<BottomInteractSrv>(
        name,
        [&probe](std::shared_ptr<BottomInteractSrv::Request>,
                 std::shared_ptr<BottomInteractSrv::Response>) { probe.run(); },
        rmw_qos_profile_services_default, server_group);
    auto client = node_->create_client<BottomInteractSrv>(name, rmw_qos_profile_services_default,
                                                          client_group);
    spin_in_background(executor);
    EXPECT_TRUE(client->wait_for_service(kTimeout));
    auto first = client->async_send_request(std::make_shared<BottomInteractSrv::Request>());
    auto second = client->async_send_request(std::make_shared<BottomInteractSrv::Request>());
    EXPECT_EQ(first.wait_for(kTimeout), std::future_status::ready);
    EXPECT_EQ(second.wait_for(kTimeout), std::future_status::ready);
    return probe.most_running();
  }

  rclcpp::Node::SharedPtr node_;
};

}  // namespace

TEST_F(ExecutorTest, AReentrantServiceHandlesTwoRequestsInParallel) {
  EXPECT_EQ(service_overlap(rclcpp::CallbackGroupType::Reentrant, kTimeout), 2);
}

TEST_F(ExecutorTest, AMutuallyExclusiveServiceHandlesRequestsInTurn) {
  // The first callback waits a while for a second to join it; none may.
  EXPECT_EQ(service_overlap(rclcpp::CallbackGroupType::MutuallyExclusive, 250ms), 1);
}

// As in rclcpp: a thread coming free takes the requests found waiting before the answers found
// waiting, and everything one look found before it looks again. So with every thread held by a
// service callback, a client's answer waits behind the requests that are there already.
TEST_F(ExecutorTest, AFreedThreadTakesWaitingRequestsBeforeAnswersButEachOnlyOncePerLook) {
  auto peer = std::make_shared<rclcpp::Node>("executor_test_peer", options());
  const std::string held_name = unique_name("held");
  const std::string answering_name = unique_name("answering");
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::shared_future<BottomInteractSrv::Response::SharedPtr> answer;
  std::mutex mutex;
  std::vector<std::string> runs;
  // The node's one thread: the first request holds it until released.
  auto held = node_->create_service<BottomInteractSrv>(
      held_name, [&](std::shared_ptr<BottomInteractSrv::Request> request,
                     std::shared_ptr<BottomInteractSrv::Response>) {
        {
          std::lock_guard<std::mutex> lock(mutex);
          const bool answered = answer.valid() && answer.wait_for(0s) == std::future_status::ready;
          runs.push_back("request " + std::to_string(request->cmd) +
                         (answered ? " after the answer" : ""));
        }
        if (request->cmd == 1) {
          released.wait_for(kTimeout);
        }
      });
  auto client = node_->create_client<BottomInteractSrv>(answering_name);
  auto answering = peer->create_service<BottomInteractSrv>(
      answering_name, [](std::shared_ptr<BottomInteractSrv::Request>,
                         std::shared_ptr<BottomInteractSrv::Response>) {});
  auto caller = peer->create_client<BottomInteractSrv>(held_name);
  auto executor = std::make_shared<rclcpp::executors::SingleThreadedExecutor>(executor_options());
  auto peer_executor =
      std::make_shared<rclcpp::executors::MultiThreadedExecutor>(executor_options(), 2);
  executor->add_node(node_);
  peer_executor->add_node(peer);
  spin_in_background(executor);
  spin_in_background(peer_executor);
  ASSERT_TRUE(client->wait_for_service(kTimeout));
  ASSERT_TRUE(caller->wait_for_service(kTimeout));
  const auto request = [](int32_t cmd) {
    auto made = std::make_shared<BottomInteractSrv::Request>();
    made->cmd = cmd;
    return made;
  };
  // After one answer the executor looks at the client once more and finds nothing: from then on
  // the client's hint shows when the next answer has arrived.
  ASSERT_EQ(client->async_send_request(request(0)).wait_for(kTimeout), std::future_status::ready);
  ASSERT_TRUE(test_support::PollUntil(kTimeout, [&] { return !client->ready_hint(); }));

  auto first = caller->async_send_request(request(1));
  ASSERT_TRUE(test_support::PollUntil(kTimeout, [&] {
    std::lock_guard<std::mutex> lock(mutex);
    return !runs.empty();
  }));
  auto second = caller->async_send_request(request(2));
  auto third = caller->async_send_request(request(3));
  {
    std::lock_guard<std::mutex> lock(mutex);
    answer = client->async_send_request(request(0)).share();
  }
  ASSERT_TRUE(test_support::PollUntil(kTimeout, [&] { return client->ready_hint(); }));
  release.set_value();

  EXPECT_EQ(third.wait_for(kTimeout), std::future_status::ready);
  EXPECT_EQ(answer.wait_for(kTimeout), std::future_status::ready);
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_EQ(runs,
            (std::vector<std::string>{"request 1", "request 2", "request 3 after the answer"}));
}

TEST_F(ExecutorTest, GroupsCreatedWhileSpinningAreServedUnlessTheyOptOut) {
  auto executor = std::make_shared<rclcpp::executors::SingleThreadedExecutor>(executor_options());
  executor->add_node(node_);
  spin_in_background(executor);
  const std::string name = unique_name("late_group");
  auto late_group = node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
  auto manual_group =
      node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, false);
  const auto increment = [](const std::shared_ptr<rmw_request_id_t> header,
                            const std::shared_ptr<BottomInteractSrv::Request> request,
                            std::shared_ptr<BottomInteractSrv::Response> response) {
    response->status = request->cmd + 1;
    response->message = std::to_string(header->sequence_number);
  };
  auto served = node_->create_service<BottomInteractSrv>(
      name, increment, rmw_qos_profile_services_default, late_group);
  auto opted_out = node_->create_service<BottomInteractSrv>(
      name + "_manual", increment, rmw_qos_profile_services_default, manual_group);
  auto served_client = node_->create_client<BottomInteractSrv>(name);
  auto opted_out_client = node_->create_client<BottomInteractSrv>(name + "_manual");
  ASSERT_TRUE(served_client->wait_for_service(kTimeout));
  ASSERT_TRUE(opted_out_client->wait_for_service(kTimeout));

  auto request = std::make_shared<BottomInteractSrv::Request>();
  request->cmd = 6;
  auto unanswered = opted_out_client->async_send_request(request);
  auto answered = served_client->async_send_request(request);
  ASSERT_EQ(answered.wait_for(kTimeout), std::future_status::ready);
  const auto response = answered.get();
  EXPECT_EQ(response->status, 7);
  // The request header carries the id the client got for its request.
  EXPECT_EQ(response->message, std::to_string(answered.request_id));
  EXPECT_EQ(unanswered.wait_for(500ms), std::future_status::timeout);

  executor->add_callback_group(manual_group, node_->get_node_base_interface());
  ASSERT_EQ(unanswered.wait_for(kTimeout), std::future_status::ready);
  EXPECT_EQ(unanswered.get()->status, 7);
}
