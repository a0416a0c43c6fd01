// Topics over real DDS: a publisher in api_test_peer and subscribers here with each callback
// form; SIGTERM ends the peer's spin and the peer exits 0.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "api_test_context.hpp"
#include "peer_process.hpp"
#include "rclcpp/rclcpp.hpp"
#include "test_support/poll_until.hpp"
#include "velmoria_protocol/msg/robot_event.hpp"

using velmoria_protocol::msg::RobotEvent;
using namespace std::chrono_literals;

namespace {

constexpr auto kTimeout = 15s;

using EventInbox = Inbox<RobotEvent>;

class PubSubProcessTest : public ContextTest {
protected:
  void SetUp() override {
    init({"pub_sub_process_test"});
    node_ = spun_node("listener");
  }

  rclcpp::Node::SharedPtr node_;
};

}  // namespace

TEST_F(PubSubProcessTest, EveryCallbackFormReceivesTheOtherProcesssMessages) {
  const std::string topic = unique_name("robot_event");
  EventInbox by_reference;
  EventInbox by_shared;
  EventInbox by_unique;
  auto reference_sub = node_->create_subscription<RobotEvent>(
      topic, 10, [&by_reference](const RobotEvent& event) { by_reference.add(event); });
  auto shared_sub = node_->create_subscription<RobotEvent>(
      topic, rclcpp::QoS(10).reliable(),
      [&by_shared](std::shared_ptr<const RobotEvent> event) { by_shared.add(*event); });
  auto unique_sub = node_->create_subscription<RobotEvent>(
      topic, 10, [&by_unique](std::unique_ptr<RobotEvent> event) { by_unique.add(*event); });

  PeerProcess talker(API_TEST_PEER, {"--ros-args", "-p", "role:=talker", "-p", "name:=" + topic,
                                     "-r", "__node:=talker"});
  for (EventInbox* inbox : {&by_reference, &by_shared, &by_unique}) {
    const auto events = inbox->wait_for(3);
    ASSERT_GE(events.size(), 3u) << talker.output();
    for (const auto& event : events) {
      EXPECT_EQ(event.header.frame_id, "talker");
      EXPECT_EQ(event.event_type, 7);
      EXPECT_GT(event.event_code, 0);
      EXPECT_GT(event.header.stamp.sec, 1600000000);
    }
    EXPECT_LT(events[0].event_code, events[2].event_code);
  }
  EXPECT_GE(reference_sub->get_publisher_count(), 1u);

  talker.send_signal(SIGTERM);
  EXPECT_EQ(talker.wait_for_exit(kTimeout), 0) << talker.output();
  EXPECT_NE(talker.output().find("[rclcpp]: signal_handler(signum=15)"), std::string::npos)
      << talker.output();
  EXPECT_NE(talker.output().find("[talker]: talker stopped after"), std::string::npos)
      << talker.output();
}

TEST_F(PubSubProcessTest, MessagesPublishedByUniquePointerArriveInProcess) {
  const std::string topic = unique_name("loopback");
  EventInbox inbox;
  auto subscription = node_->create_subscription<RobotEvent>(
      topic, 10, [&inbox](const std::shared_ptr<const RobotEvent>& event) { inbox.add(*event); });
  auto publisher = node_->create_publisher<RobotEvent>(topic, rclcpp::QoS(rclcpp::KeepLast(5)));
  ASSERT_TRUE(
      test_support::PollUntil(kTimeout, [&] { return publisher->get_subscription_count() > 0; }));
  ASSERT_EQ(publisher->get_subscription_count(), 1u);
  auto event = std::make_unique<RobotEvent>();
  event->event_code = 99;
  event->header.stamp = node_->now();
  publisher->publish(std::move(event));
  const auto events = inbox.wait_for(1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].event_code, 99);

  context_->shutdown("no more publishing");
  RobotEvent after_shutdown;
  EXPECT_NO_THROW(publisher->publish(after_shutdown));
}
