// The other process of the cross-process middleware tests.
//   middleware_test_peer publish <domain> <topic> <count>
//     waits for a subscriber, publishes <count> DiagnosticEvents (event_id 1..count, event_status
//     -event_id, frame_id "peer"), then exits 0 once the subscriber has gone.
//   middleware_test_peer serve <domain> <service>
//     answers BottomInteractSrv requests until killed: status = cmd * 10 + self_clean,
//     message = "cmd <cmd> duty <component.main_swp.duty>".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "poll_until.hpp"
#include "rclcpp_lite/middleware.hpp"
#include "rmw/qos_profiles.h"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "signal_counter.hpp"
#include "velmoria_protocol/msg/diagnostic_event.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

namespace {

using rosidl_typesupport_introspection_cpp::get_message_type_support_handle;
using DiagnosticEvent = velmoria_protocol::msg::DiagnosticEvent;
using Request = velmoria_protocol::srv::BottomInteractSrv::Request;
using Response = velmoria_protocol::srv::BottomInteractSrv::Response;

constexpr std::chrono::seconds kMatchTimeout(20);

int publish(size_t domain, const std::string& topic, int count) {
  const auto participant = rclcpp_lite::Participant::create(domain);
  const auto publisher = rclcpp_lite::PublisherCore::create(
      participant, topic, get_message_type_support_handle<DiagnosticEvent>(),
      rmw_qos_profile_default);
  if (!poll_until(kMatchTimeout, [&] { return publisher->matched_subscriptions() > 0; })) {
    std::fprintf(stderr, "peer: no subscriber matched\n");
    return 2;
  }
  for (int id = 1; id <= count; ++id) {
    DiagnosticEvent event;
    event.header.frame_id = "peer";
    event.header.stamp.sec = id;
    event.event_id = id;
    event.event_status = -id;
    if (!publisher->publish(&event)) {
      return 3;
    }
  }
  return poll_until(kMatchTimeout, [&] { return publisher->matched_subscriptions() == 0; }) ? 0 : 4;
}

int serve(size_t domain, const std::string& service_name) {
  const auto participant = rclcpp_lite::Participant::create(domain);
  SignalCounter requests;
  const auto service = rclcpp_lite::ServiceCore::create(
      participant, service_name, get_message_type_support_handle<Request>(),
      get_message_type_support_handle<Response>(), rmw_qos_profile_services_default,
      requests.callback());
  for (size_t answered = 0;; ++answered) {
    Request request;
    rmw_request_id_t id{};
    while (!service->take_request(&request, id)) {
      requests.wait_for_count(answered + 1, std::chrono::seconds(1));
    }
    Response response;
    response.status = request.cmd * 10 + (request.self_clean ? 1 : 0);
    response.message = "cmd " + std::to_string(request.cmd) + " duty " +
                       std::to_string(request.component.main_swp.duty);
    if (service->send_response(id, &response) != rclcpp_lite::ServiceCore::SendResult::ok) {
      std::fprintf(stderr, "peer: reply to request %lld failed\n",
                   static_cast<long long>(id.sequence_number));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "publish" && argc == 5) {
    return publish(std::strtoul(argv[2], nullptr, 10), argv[3], std::atoi(argv[4]));
  }
  if (mode == "serve" && argc == 4) {
    return serve(std::strtoul(argv[2], nullptr, 10), argv[3]);
  }
  std::fprintf(stderr, "usage: %s publish <domain> <topic> <count> | serve <domain> <service>\n",
               argv[0]);
  return 64;
}
