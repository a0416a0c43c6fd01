// A participant with a publisher and a service client: every kind of socket the middleware opens.
#ifndef MIDDLEWARE_TEST__PROBE_ENDPOINTS_HPP_
#define MIDDLEWARE_TEST__PROBE_ENDPOINTS_HPP_

#include <cstddef>
#include <memory>

#include "rclcpp_lite/middleware.hpp"
#include "rmw/qos_profiles.h"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "velmoria_protocol/msg/diagnostic_event.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

struct ProbeEndpoints {
  explicit ProbeEndpoints(std::size_t domain) {
    using rosidl_typesupport_introspection_cpp::get_message_type_support_handle;
    using Srv = velmoria_protocol::srv::BottomInteractSrv;
    participant = rclcpp_lite::Participant::create(domain);
    publisher = rclcpp_lite::PublisherCore::create(
        participant, rclcpp_lite::kNoNode, "/loopback_probe",
        get_message_type_support_handle<velmoria_protocol::msg::DiagnosticEvent>(),
        rmw_qos_profile_default);
    client = rclcpp_lite::ClientCore::create(
        participant,
        rclcpp_lite::service_endpoints<Srv>(rclcpp_lite::kNoNode, "/loopback_probe",
                                            rmw_qos_profile_services_default),
        nullptr);
  }

  std::shared_ptr<rclcpp_lite::Participant> participant;
  std::unique_ptr<rclcpp_lite::PublisherCore> publisher;
  std::unique_ptr<rclcpp_lite::ClientCore> client;
};

#endif  // MIDDLEWARE_TEST__PROBE_ENDPOINTS_HPP_
