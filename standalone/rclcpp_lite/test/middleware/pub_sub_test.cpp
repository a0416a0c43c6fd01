// Publisher and subscription cores in one process: topic lifetime and QoS.
// Delivery between processes is covered by the API tests against api_test_peer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <numeric>
#include <vector>

#include "rclcpp_lite/middleware.hpp"
#include "rmw/qos_profiles.h"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "std_msgs/msg/header.hpp"
#include "test_support/poll_until.hpp"
#include "test_support/test_domain.hpp"
#include "velmoria_protocol/msg/diagnostic_event.hpp"

namespace {

using namespace std::chrono_literals;
using rclcpp_lite::kNoNode;
using rclcpp_lite::Participant;
using rclcpp_lite::PublisherCore;
using rclcpp_lite::SubscriptionCore;
using rosidl_typesupport_introspection_cpp::get_message_type_support_handle;
using DiagnosticEvent = velmoria_protocol::msg::DiagnosticEvent;

const rosidl_message_type_support_t* event_type() {
  return get_message_type_support_handle<DiagnosticEvent>();
}

/// The event ids of `count` events taken from `subscription` (fewer at the deadline).
std::vector<int32_t> take_ids(SubscriptionCore& subscription, size_t count,
                              std::chrono::milliseconds timeout) {
  std::vector<int32_t> ids;
  test_support::PollUntil(timeout, [&] {
    DiagnosticEvent event;
    while (ids.size() < count && subscription.take(&event)) {
      ids.push_back(event.event_id);
    }
    return ids.size() >= count;
  });
  return ids;
}

void publish_ids(PublisherCore& publisher, int32_t first, int32_t last) {
  for (int32_t id = first; id <= last; ++id) {
    DiagnosticEvent event;
    event.event_id = id;
    ASSERT_TRUE(publisher.publish(&event));
  }
}

TEST(PubSubInProcess, TopicIsReleasedWithItsLastEndpoint) {
  const auto participant = Participant::create(test_support::KeepDdsOnThisMachine());
  const auto header_type = get_message_type_support_handle<std_msgs::msg::Header>();
  auto publisher =
      PublisherCore::create(participant, kNoNode, "/reused", event_type(), rmw_qos_profile_default);
  EXPECT_EQ(participant->count_writers("rt/reused"), 1u);
  // While the topic exists it keeps its type.
  EXPECT_THROW(
      PublisherCore::create(participant, kNoNode, "/reused", header_type, rmw_qos_profile_default),
      std::runtime_error);
  publisher.reset();
  EXPECT_EQ(participant->count_writers("rt/reused"), 0u);
  EXPECT_NO_THROW(
      PublisherCore::create(participant, kNoNode, "/reused", header_type, rmw_qos_profile_default));
}

TEST(PubSubQos, KeepLastDepthKeepsOnlyTheNewest) {
  const auto participant = Participant::create(test_support::KeepDdsOnThisMachine());
  rmw_qos_profile_t shallow = rmw_qos_profile_default;
  shallow.depth = 2;
  std::atomic<size_t> arrivals{0};
  auto subscription = SubscriptionCore::create(participant, kNoNode, "/depth_probe", event_type(),
                                               shallow, [&arrivals] { ++arrivals; });
  auto publisher = PublisherCore::create(participant, kNoNode, "/depth_probe", event_type(),
                                         rmw_qos_profile_default);
  ASSERT_TRUE(test_support::PollUntil(20s, [&] {
    return publisher->matched_subscriptions() == 1 && subscription->matched_publishers() == 1;
  }));

  publish_ids(*publisher, 1, 5);
  ASSERT_TRUE(test_support::PollUntil(20s, [&] { return arrivals >= 5; }));
  EXPECT_EQ(take_ids(*subscription, 5, 0ms), (std::vector<int32_t>{4, 5}));
}

// Only a few samples are allocated up front; a history holds as many as its depth asks for.
TEST(PubSubQos, TransientLocalHistoryKeepsMoreSamplesThanArePreallocated) {
  const auto participant = Participant::create(test_support::KeepDdsOnThisMachine());
  rmw_qos_profile_t deep = rmw_qos_profile_default;
  deep.depth = 50;
  deep.durability = RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
  auto publisher = PublisherCore::create(participant, kNoNode, "/deep_probe", event_type(), deep);
  publish_ids(*publisher, 1, 60);

  auto late_joiner =
      SubscriptionCore::create(participant, kNoNode, "/deep_probe", event_type(), deep, [] {});
  std::vector<int32_t> newest(50);
  std::iota(newest.begin(), newest.end(), 11);
  EXPECT_EQ(take_ids(*late_joiner, 50, 20s), newest);
}

}  // namespace
