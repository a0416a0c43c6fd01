// Publisher and subscription cores, in one process and across two, and the discovery graph
// they leave in the participant.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "peer_process.hpp"
#include "poll_until.hpp"
#include "rclcpp_lite/middleware.hpp"
#include "rmw/qos_profiles.h"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "signal_counter.hpp"
#include "std_msgs/msg/header.hpp"
#include "test_domain.hpp"
#include "velmoria_protocol/msg/diagnostic_event.hpp"
#include "wait_helpers.hpp"

namespace {

using namespace std::chrono_literals;
using rclcpp_lite::Participant;
using rclcpp_lite::PublisherCore;
using rclcpp_lite::SubscriptionCore;
using rosidl_typesupport_introspection_cpp::get_message_type_support_handle;
using DiagnosticEvent = velmoria_protocol::msg::DiagnosticEvent;

const rosidl_message_type_support_t* event_type() {
  return get_message_type_support_handle<DiagnosticEvent>();
}

TEST(PubSubAcrossProcesses, EveryMessageArrivesWithItsFields) {
  const size_t domain = test_domain_id();
  const auto participant = Participant::create(domain);
  SignalCounter arrivals;
  auto subscription = SubscriptionCore::create(participant, "/diagnostic_event", event_type(),
                                               rmw_qos_profile_default, arrivals.callback());
  PeerProcess peer(MIDDLEWARE_TEST_PEER,
                   {"publish", std::to_string(domain), "/diagnostic_event", "5"});

  const auto events = take_messages<DiagnosticEvent>(*subscription, arrivals, 5, 20s);
  ASSERT_EQ(events.size(), 5u);
  for (int id = 1; id <= 5; ++id) {
    const DiagnosticEvent& event = events[static_cast<size_t>(id - 1)];
    EXPECT_EQ(event.event_id, id);
    EXPECT_EQ(event.event_status, -id);
    EXPECT_EQ(event.header.stamp.sec, id);
    EXPECT_EQ(event.header.frame_id, "peer");
  }
  EXPECT_EQ(subscription->matched_publishers(), 1u);

  subscription.reset();  // the peer exits once its subscriber is gone
  EXPECT_EQ(peer.wait_for_exit(20s), 0);
}

TEST(DiscoveryGraph, CountsLocalAndRemoteEndpointsUntilTheyLeave) {
  const size_t domain = test_domain_id();
  const auto participant = Participant::create(domain);
  SignalCounter arrivals;
  auto subscription = SubscriptionCore::create(participant, "/graph_probe", event_type(),
                                               rmw_qos_profile_default, arrivals.callback());
  EXPECT_EQ(participant->count_readers("rt/graph_probe"), 1u);
  EXPECT_EQ(participant->count_writers("rt/graph_probe"), 0u);

  const uint64_t before_peer = participant->graph_generation();
  PeerProcess peer(MIDDLEWARE_TEST_PEER, {"publish", std::to_string(domain), "/graph_probe", "1"});
  ASSERT_TRUE(graph_reaches(
      *participant, [&] { return participant->count_writers("rt/graph_probe") == 1; }, 20s));
  EXPECT_GT(participant->graph_generation(), before_peer);

  // The peer publishes once it has matched us, and leaves once we are gone.
  ASSERT_EQ(take_messages<DiagnosticEvent>(*subscription, arrivals, 1, 20s).size(), 1u);
  subscription.reset();
  EXPECT_EQ(participant->count_readers("rt/graph_probe"), 0u);
  ASSERT_EQ(peer.wait_for_exit(20s), 0);
  EXPECT_TRUE(graph_reaches(
      *participant, [&] { return participant->count_writers("rt/graph_probe") == 0; }, 20s));
}

TEST(DiscoveryGraph, WakeReleasesWaiters) {
  const auto participant = Participant::create(test_domain_id());
  const uint64_t seen = participant->graph_generation();
  participant->wake_graph_waiters();
  EXPECT_TRUE(participant->wait_for_graph_change(seen, std::chrono::hours(1)));
  EXPECT_FALSE(participant->wait_for_graph_change(participant->graph_generation(), 1ms));
}

TEST(ParticipantSetup, DomainOutsideThePortRangeIsRefused) {
  // RTPS ports are 7400 + 250 * domain + offsets: past domain 232 they would exceed 65535.
  EXPECT_THROW(Participant::create(233), std::runtime_error);
  EXPECT_NO_THROW(Participant::create(232));
}

TEST(PubSubInProcess, TwoSubscriptionsOnOneTopicBothReceive) {
  const auto participant = Participant::create(test_domain_id());
  SignalCounter first_arrivals;
  SignalCounter second_arrivals;
  auto first = SubscriptionCore::create(participant, "/shared", event_type(),
                                        rmw_qos_profile_default, first_arrivals.callback());
  auto second = SubscriptionCore::create(participant, "/shared", event_type(),
                                         rmw_qos_profile_default, second_arrivals.callback());
  auto publisher =
      PublisherCore::create(participant, "/shared", event_type(), rmw_qos_profile_default);
  ASSERT_TRUE(poll_until(20s, [&] {
    return publisher->matched_subscriptions() == 2 && first->matched_publishers() == 1 &&
           second->matched_publishers() == 1;
  }));

  DiagnosticEvent event;
  event.event_id = 77;
  ASSERT_TRUE(publisher->publish(&event));
  const auto first_events = take_messages<DiagnosticEvent>(*first, first_arrivals, 1, 20s);
  const auto second_events = take_messages<DiagnosticEvent>(*second, second_arrivals, 1, 20s);
  ASSERT_EQ(first_events.size(), 1u);
  ASSERT_EQ(second_events.size(), 1u);
  EXPECT_EQ(first_events[0].event_id, 77);
  EXPECT_EQ(second_events[0].event_id, 77);
}

TEST(PubSubInProcess, TopicIsReleasedWithItsLastEndpoint) {
  const auto participant = Participant::create(test_domain_id());
  auto publisher =
      PublisherCore::create(participant, "/reused", event_type(), rmw_qos_profile_default);
  // While the topic exists it keeps its type.
  EXPECT_THROW(PublisherCore::create(participant, "/reused",
                                     get_message_type_support_handle<std_msgs::msg::Header>(),
                                     rmw_qos_profile_default),
               std::runtime_error);
  publisher.reset();
  EXPECT_NO_THROW(PublisherCore::create(participant, "/reused",
                                        get_message_type_support_handle<std_msgs::msg::Header>(),
                                        rmw_qos_profile_default));
}

TEST(PubSubInProcess, BestEffortWriterDoesNotMatchReliableReader) {
  const auto participant = Participant::create(test_domain_id());
  SignalCounter arrivals;
  auto subscription = SubscriptionCore::create(participant, "/qos_probe", event_type(),
                                               rmw_qos_profile_default, arrivals.callback());
  auto best_effort =
      PublisherCore::create(participant, "/qos_probe", event_type(), rmw_qos_profile_sensor_data);
  auto reliable =
      PublisherCore::create(participant, "/qos_probe", event_type(), rmw_qos_profile_default);
  ASSERT_TRUE(poll_until(20s, [&] { return subscription->matched_publishers() == 1; }));
  EXPECT_EQ(reliable->matched_subscriptions(), 1u);
  EXPECT_EQ(best_effort->matched_subscriptions(), 0u);
}

std::vector<int32_t> event_ids(const std::vector<DiagnosticEvent>& events) {
  std::vector<int32_t> ids;
  for (const DiagnosticEvent& event : events) {
    ids.push_back(event.event_id);
  }
  return ids;
}

void publish_ids(PublisherCore& publisher, int32_t first, int32_t last) {
  for (int32_t id = first; id <= last; ++id) {
    DiagnosticEvent event;
    event.event_id = id;
    ASSERT_TRUE(publisher.publish(&event));
  }
}

TEST(PubSubQos, KeepLastDepthKeepsOnlyTheNewest) {
  const auto participant = Participant::create(test_domain_id());
  rmw_qos_profile_t shallow = rmw_qos_profile_default;
  shallow.depth = 2;
  SignalCounter arrivals;
  auto subscription = SubscriptionCore::create(participant, "/depth_probe", event_type(), shallow,
                                               arrivals.callback());
  auto publisher =
      PublisherCore::create(participant, "/depth_probe", event_type(), rmw_qos_profile_default);
  ASSERT_TRUE(poll_until(20s, [&] {
    return publisher->matched_subscriptions() == 1 && subscription->matched_publishers() == 1;
  }));

  publish_ids(*publisher, 1, 5);
  ASSERT_TRUE(arrivals.wait_for_count(5, 20s));
  EXPECT_EQ(event_ids(take_messages<DiagnosticEvent>(*subscription, arrivals, 5, 0ms)),
            (std::vector<int32_t>{4, 5}));
}

TEST(PubSubQos, TransientLocalLateJoinerGetsTheKeptHistory) {
  const auto participant = Participant::create(test_domain_id());
  rmw_qos_profile_t latched = rmw_qos_profile_default;
  latched.durability = RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
  latched.depth = 3;
  auto publisher = PublisherCore::create(participant, "/latched_probe", event_type(), latched);
  publish_ids(*publisher, 1, 5);

  SignalCounter arrivals;
  auto late = SubscriptionCore::create(participant, "/latched_probe", event_type(), latched,
                                       arrivals.callback());
  EXPECT_EQ(event_ids(take_messages<DiagnosticEvent>(*late, arrivals, 3, 20s)),
            (std::vector<int32_t>{3, 4, 5}));
}

}  // namespace
