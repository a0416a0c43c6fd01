// Service and client cores: request/reply across processes, availability, reply routing between
// clients and the reply writer's wait for a client it has not matched.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "peer_process.hpp"
#include "poll_until.hpp"
#include "rclcpp_lite/middleware.hpp"
#include "rmw/qos_profiles.h"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "signal_counter.hpp"
#include "test_domain.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"
#include "wait_helpers.hpp"

namespace {

using namespace std::chrono_literals;
using rclcpp_lite::ClientCore;
using rclcpp_lite::Participant;
using rclcpp_lite::ServiceCore;
using rosidl_typesupport_introspection_cpp::get_message_type_support_handle;
using Request = velmoria_protocol::srv::BottomInteractSrv::Request;
using Response = velmoria_protocol::srv::BottomInteractSrv::Response;

const rosidl_message_type_support_t* request_type() {
  return get_message_type_support_handle<Request>();
}
const rosidl_message_type_support_t* response_type() {
  return get_message_type_support_handle<Response>();
}

struct Endpoint {
  SignalCounter arrivals;
  std::unique_ptr<ClientCore> client;
  std::unique_ptr<ServiceCore> service;
};

void make_client(Endpoint& endpoint, const std::shared_ptr<Participant>& participant,
                 const std::string& name,
                 const rmw_qos_profile_t& qos = rmw_qos_profile_services_default) {
  endpoint.client = ClientCore::create(participant, name, request_type(), response_type(), qos,
                                       endpoint.arrivals.callback());
}

void make_service(Endpoint& endpoint, const std::shared_ptr<Participant>& participant,
                  const std::string& name,
                  const rmw_qos_profile_t& qos = rmw_qos_profile_services_default) {
  endpoint.service = ServiceCore::create(participant, name, request_type(), response_type(), qos,
                                         endpoint.arrivals.callback());
}

bool take_request(Endpoint& server, Request& request, rmw_request_id_t& id) {
  return poll_until(20s, [&] { return server.service->take_request(&request, id); });
}

TEST(ServiceAcrossProcesses, ReplyCarriesTheRequestFields) {
  const size_t domain = test_domain_id();
  PeerProcess peer(MIDDLEWARE_TEST_PEER, {"serve", std::to_string(domain), "/bottom_operate"});
  const auto participant = Participant::create(domain);
  Endpoint caller;
  make_client(caller, participant, "/bottom_operate");
  ASSERT_TRUE(poll_until(20s, [&] { return caller.client->service_is_available(); }));

  for (int32_t cmd : {7, 8}) {
    Request request;
    request.cmd = cmd;
    request.self_clean = true;
    request.component.main_swp.duty = 55;
    int64_t sequence = 0;
    ASSERT_TRUE(caller.client->send_request(&request, sequence));
    EXPECT_EQ(sequence, cmd - 6);  // the request writer numbers its samples from 1

    Response response;
    rmw_request_id_t id{};
    ASSERT_TRUE(take_response(*caller.client, caller.arrivals, response, id, 20s));
    EXPECT_EQ(id.sequence_number, sequence);
    EXPECT_EQ(response.status, cmd * 10 + 1);
    EXPECT_EQ(response.message, "cmd " + std::to_string(cmd) + " duty 55");
  }
}

TEST(ServiceAvailability, FollowsTheServerLifetime) {
  const auto server_participant = Participant::create(test_domain_id());
  const auto client_participant = Participant::create(test_domain_id());
  Endpoint caller;
  make_client(caller, client_participant, "/availability_probe");
  EXPECT_FALSE(caller.client->service_is_available());

  Endpoint server;
  make_service(server, server_participant, "/availability_probe");
  // Matches count too, and they wake graph waiters like discovery does.
  ASSERT_TRUE(graph_reaches(
      *client_participant, [&] { return caller.client->service_is_available(); }, 20s));
  EXPECT_EQ(client_participant->count_readers("rq/availability_probeRequest"), 1u);
  EXPECT_EQ(client_participant->count_writers("rr/availability_probeReply"), 1u);

  server.service.reset();
  EXPECT_TRUE(graph_reaches(
      *client_participant, [&] { return !caller.client->service_is_available(); }, 20s));
}

TEST(ServiceReplies, OnlyTheAskingClientTakesTheReply) {
  const auto server_participant = Participant::create(test_domain_id());
  const auto client_participant = Participant::create(test_domain_id());
  Endpoint server;
  Endpoint asking;
  Endpoint other;
  make_service(server, server_participant, "/routing_probe");
  make_client(asking, client_participant, "/routing_probe");
  make_client(other, client_participant, "/routing_probe");
  ASSERT_TRUE(poll_until(20s, [&] {
    return asking.client->service_is_available() && other.client->service_is_available();
  }));

  Request request;
  request.cmd = 3;
  int64_t sequence = 0;
  ASSERT_TRUE(asking.client->send_request(&request, sequence));
  rmw_request_id_t id{};
  ASSERT_TRUE(take_request(server, request, id));
  EXPECT_EQ(id.sequence_number, sequence);
  EXPECT_NE(id.writer_guid[15] & 0x04, 0) << "requests name the client's reply reader";

  Response response;
  response.status = 30;
  ASSERT_EQ(server.service->send_response(id, &response), ServiceCore::SendResult::ok);

  // Both clients' readers receive the sample; only the asking client keeps it.
  ASSERT_TRUE(other.arrivals.wait_for_count(1, 20s));
  Response stray;
  rmw_request_id_t stray_id{};
  EXPECT_FALSE(other.client->take_response(&stray, stray_id));
  Response mine;
  rmw_request_id_t mine_id{};
  ASSERT_TRUE(take_response(*asking.client, asking.arrivals, mine, mine_id, 20s));
  EXPECT_EQ(mine.status, 30);
  EXPECT_EQ(mine_id.sequence_number, sequence);
}

TEST(ServiceReplies, UnmatchedClientReaderTimesOut) {
  const auto server_participant = Participant::create(test_domain_id());
  const auto client_participant = Participant::create(test_domain_id());
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
  ASSERT_TRUE(poll_until(20s, [&] {
    int64_t sequence = 0;
    return caller.client->send_request(&request, sequence) &&
           server.arrivals.wait_for_count(1, 50ms);
  }));
  ASSERT_TRUE(take_request(server, request, id));
  EXPECT_FALSE(caller.client->service_is_available());
  Response response;
  EXPECT_EQ(server.service->send_response(id, &response), ServiceCore::SendResult::timeout);
}

TEST(ServiceReplies, UnknownClientIsDroppedSilently) {
  const auto participant = Participant::create(test_domain_id());
  Endpoint server;
  make_service(server, participant, "/gone_probe");
  rmw_request_id_t id{};
  id.writer_guid[15] = 0x04;  // a reader this service never heard from
  id.sequence_number = 1;
  Response response;
  EXPECT_EQ(server.service->send_response(id, &response), ServiceCore::SendResult::ok);
}

}  // namespace
