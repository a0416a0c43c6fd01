// Topics over real DDS: a publisher in api_test_peer and subscribers here with each callback
// form; SIGTERM ends the peer's spin and the peer exits 0.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "api_test_context.hpp"
#include "peer_process.hpp"
#include "rclcpp/rclcpp.hpp"
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
