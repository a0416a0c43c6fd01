// Service and client cores: availability, reply routing between clients and the reply writer's
// wait for a client it has not matched. Calls between processes are covered by the API tests.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

#include "rclcpp_lite/middleware.hpp"
#include "rmw/qos_profiles.h"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "test_support/poll_until.hpp"
#include "test_support/test_domain.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

namespace {

using namespace std::chrono_literals;
using rclcpp_lite::ClientCore;
using rclcpp_lite::kNoNode;
using rclcpp_lite::Participant;
using rclcpp_lite::ServiceCore;
using Request = velmoria_protocol::srv::BottomInteractSrv::Request;
using Response = velmoria_protocol::srv::BottomInteractSrv::Response;

/// A client or service core with a count of its data-ready notifications.
struct Endpoint {
  std::atomic<size_t> arrivals{0};
  std::unique_ptr<ClientCore> client;
  std::unique_ptr<ServiceCore> service;
};

void make_client(Endpoint& endpoint, const std::shared_ptr<Participant>& participant,
                 const std::string& name) {
  endpoint.client =
      ClientCore::create(participant,
                         rclcpp_lite::service_endpoints<velmoria_protocol::srv::BottomInteractSrv>(
                             kNoNode, name, rmw_qos_profile_services_default),
                         [&endpoint] { ++endpoint.arrivals; });
}

void make_service(Endpoint& endpoint, const std::shared_ptr<Participant>& participant,
                  const std::string& name,
                  const rmw_qos_profile_t& qos = rmw_qos_profile_services_default) {
  endpoint.service = ServiceCore::create(
      participant,
      rclcpp_lite::service_endpoints<velmoria_protocol::srv::BottomInteractSrv>(kNoNode, name, qos),
      [&endpoint] { ++endpoint.arrivals; });
}

/// True once `holds` is true, re-checking only when the graph generation moves; false if a
/// wait for the next change times out, i.e. the state changed without the graph saying so.
template <typename Predicate>
bool graph_reaches(Participant& participant, Predicate holds) {
  for (;;) {
    const uint64_t seen = participant.graph_generation();
    if (holds()) {
      return true;
    }
    if (!participant.wait_for_graph_change(seen, 20s)) {
      return false;
    }
  }
}

TEST(ServiceAvailability, FollowsTheServerLifetime) {
  const auto server_participant = Participant::create(test_support::KeepDdsOnThisMachine());
  const auto client_participant = Participant::create(test_support::KeepDdsOnThisMachine());
  Endpoint caller;
  make_client(caller, client_participant, "/availability_probe");
  EXPECT_FALSE(caller.client->service_is_available());

  Endpoint server;
  make_service(server, server_participant, "/availability_probe");
  // Matches count too, and they wake graph waiters like discovery does.
  ASSERT_TRUE(
      graph_reaches(*client_participant, [&] { return caller.client->service_is_available(); }));
  EXPECT_EQ(client_participant->count_readers("rq/availability_probeRequest"), 1u);
  EXPECT_EQ(client_participant->count_writers("rr/availability_probeReply"), 1u);

  server.service.reset();
  EXPECT_TRUE(
      graph_reaches(*client_participant, [&] { return !caller.client->service_is_available(); }));
}

TEST(ServiceReplies, OnlyTheAskingClientTakesTheReply) {
  const auto server_participant = Participant::create(test_support::KeepDdsOnThisMachine());
  const auto client_participant = Participant::create(test_support::KeepDdsOnThisMachine());
  Endpoint server;
  Endpoint asking;
  Endpoint other;
  make_service(server, server_participant, "/routing_probe");
  make_client(asking, client_participant, "/routing_probe");
  make_client(other, client_participant, "/routing_probe");
  // Both ways: the server must know the other client's reader too, or it never sends it a reply.
  ASSERT_TRUE(test_support::PollUntil(20s, [&] {
    return asking.client->service_is_available() && other.client->service_is_available() &&
           server_participant->count_readers("rr/routing_probeReply") == 2;
  }));

  Request request;
  request.cmd = 3;
  int64_t sequence = 0;
  ASSERT_TRUE(asking.client->send_request(&request, sequence));
  rmw_request_id_t id{};
  ASSERT_TRUE(
      test_support::PollUntil(20s, [&] { return server.service->take_request(&request, id); }));
  EXPECT_EQ(request.cmd, 3);
  EXPECT_EQ(id.sequence_number, sequence);
  EXPECT_NE(id.writer_guid[15] & 0x04, 0) << "requests name the client's reply reader";

  Response response;
  response.status = 30;
  ASSERT_EQ(server.service->send_response(id, &response), ServiceCore::SendResult::ok);

  // Both clients' readers receive the sample; only the asking client keeps it.
  ASSERT_TRUE(test_support::PollUntil(20s, [&] { return other.arrivals > 0; }));
  Response stray;
  rmw_request_id_t stray_id{};
  EXPECT_FALSE(other.client->take_response(&stray, stray_id));
  Response mine;
  rmw_request_id_t mine_id{};
  ASSERT_TRUE(
      test_support::PollUntil(20s, [&] { return asking.client->take_response(&mine, mine_id); }));
  EXPECT_EQ(mine.status, 30);
  EXPECT_EQ(mine_id.sequence_number, sequence);
}

TEST(ServiceReplies, UnmatchedClientReaderTimesOut) {
  const auto server_participant = Participant::create(test_support::KeepDdsOnThisMachine());
  const auto client_participant = Participant::create(test_support::KeepDdsOnThisMachine());
  // A best-effort reply writer never matches the client's reliable reply reader.
  rmw_qos_profile_t best_effort = rmw_qos_profile_services_default;
  best_effort.reliability = RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT;
  Endpoint server;
  Endpoint caller;
  make_service(server, server_participant, "/mismatch_probe", best_effort);
  make_client(caller, client_participant, "/mismatch_probe");

  // Until the request writer matches the service's reader, requests have nowhere to go.
  Request request;
  rmw_request_id_t id{};
  ASSERT_TRUE(test_support::PollUntil(20s, [&] {
    int64_t sequence = 0;
    return caller.client->send_request(&request, sequence) &&
           test_support::PollUntil(50ms, [&] { return server.arrivals > 0; });
  }));
  ASSERT_TRUE(
      test_support::PollUntil(20s, [&] { return server.service->take_request(&request, id); }));
  EXPECT_FALSE(caller.client->service_is_available());
  Response response;
  EXPECT_EQ(server.service->send_response(id, &response), ServiceCore::SendResult::timeout);
}

}  // namespace
