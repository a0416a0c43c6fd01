// The DDS side of rclcpp_lite: one participant per context and the four kinds of endpoint,
// speaking rmw_fastrtps_cpp's wire conventions. Type-erased on purpose: the rclcpp templates
// hand in introspection type support and message pointers, and no Fast DDS header leaks into
// code that includes <rclcpp/rclcpp.hpp>.
//
// Thread safety: every operation may be called from any thread, concurrently with the others.
#ifndef RCLCPP_LITE__MIDDLEWARE_HPP_
#define RCLCPP_LITE__MIDDLEWARE_HPP_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "rmw/types.h"
#include "rosidl_runtime_c/message_type_support_struct.h"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"

namespace rclcpp_lite {

/// Why a write reported false, as rmw_fastrtps words it; the detail of the rclcpp exceptions
/// for a failed publish, request or response.
constexpr char kWriteFailedDetail[] = "cannot publish data";

/// Called from a middleware thread when new data may be ready to take. Must not block.
using DataReadyCallback = std::function<void()>;

/// A node in its participant's graph information; the endpoints of kNoNode belong to no node.
using NodeId = uint64_t;
constexpr NodeId kNoNode = 0;

/// The DDS domain participant of one rclcpp context, with the endpoints it has discovered.
///
/// By default every socket is bound to 127.0.0.1 with unicast discovery on loopback only;
/// ROS_LOCALHOST_ONLY=0 (exactly) opens the other interfaces and multicast discovery.
class Participant {
public:
  /// Throws std::runtime_error naming the cause when the participant cannot be created.
  static std::shared_ptr<Participant> create(size_t domain_id);
  virtual ~Participant() = default;

  /// Bumped on every discovery change (and by wake_graph_waiters).
  virtual uint64_t graph_generation() const = 0;
  /// Blocks until graph_generation() != seen or the timeout passes; returns false on timeout.
  virtual bool wait_for_graph_change(uint64_t seen, std::chrono::nanoseconds timeout) = 0;
  /// Wakes every graph waiter, e.g. on context shutdown.
  virtual void wake_graph_waiters() = 0;

  /// Enters a node into the graph information this participant announces on ros_discovery_info,
  /// as rmw_fastrtps_cpp does: the endpoints created for it are announced as its own.
  virtual NodeId add_node(const std::string& node_namespace, const std::string& node_name) = 0;
  /// Takes the node out of the announced graph information.
  virtual void remove_node(NodeId node) = 0;

  /// Discovered endpoints (remote and local) on a DDS topic name such as
  /// "rq/bottom_operateRequest".
  virtual size_t count_readers(const std::string& dds_topic) const = 0;
  virtual size_t count_writers(const std::string& dds_topic) const = 0;
  /// Subscriptions (remote and local) on a fully qualified topic name.
  virtual size_t count_subscribers(const std::string& topic_name) const = 0;
};

/// The names below are fully qualified ROS names ("/robot_event", "/bottom_operate"); the cores
/// apply the DDS mangling ("rt/...", "rq/...Request", "rr/...Reply") and derive the DDS type names
/// ("pkg::msg::dds_::T_") from the introspection type support. Each core's readers and writers
/// are announced as the given node's while the core lives.

class PublisherCore {
public:
  static std::unique_ptr<PublisherCore> create(const std::shared_ptr<Participant>& participant,
                                               NodeId node, const std::string& topic_name,
                                               const rosidl_message_type_support_t* type_support,
                                               const rmw_qos_profile_t& qos);
  virtual ~PublisherCore() = default;

  /// Serializes and writes one message of the type support's C++ type. False on failure.
  virtual bool publish(const void* message) = 0;
  virtual size_t matched_subscriptions() const = 0;
};

class SubscriptionCore {
public:
  static std::unique_ptr<SubscriptionCore> create(const std::shared_ptr<Participant>& participant,
                                                  NodeId node, const std::string& topic_name,
                                                  const rosidl_message_type_support_t* type_support,
                                                  const rmw_qos_profile_t& qos,
                                                  DataReadyCallback on_data);
  virtual ~SubscriptionCore() = default;

  /// Takes the next message into `message` (an initialised object of the C++ type). False if none.
  virtual bool take(void* message) = 0;
  virtual size_t matched_publishers() const = 0;
};

/// What the request and reply endpoints of a service or a client are made of.
struct ServiceEndpoints {
  NodeId node;
  std::string service_name;
  const rosidl_message_type_support_t* request_type_support;
  const rosidl_message_type_support_t* response_type_support;
  rmw_qos_profile_t qos;
};

/// The endpoints of a ServiceT service named `service_name`, announced as `node`'s.
template <typename ServiceT>
ServiceEndpoints service_endpoints(NodeId node, const std::string& service_name,
                                   const rmw_qos_profile_t& qos) {
  using rosidl_typesupport_introspection_cpp::get_message_type_support_handle;
  return {node, service_name, get_message_type_support_handle<typename ServiceT::Request>(),
          get_message_type_support_handle<typename ServiceT::Response>(), qos};
}

class ServiceCore {
public:
  static std::unique_ptr<ServiceCore> create(const std::shared_ptr<Participant>& participant,
                                             const ServiceEndpoints& endpoints,
                                             DataReadyCallback on_request);
  virtual ~ServiceCore() = default;

  /// Takes the next request and who sent it. False if none is waiting.
  virtual bool take_request(void* request, rmw_request_id_t& request_id) = 0;

  enum class SendResult { ok, timeout, error };
  /// Replies to request_id. Waits up to 100 ms for the reply writer to match the client's reply
  /// reader (timeout); a client that is gone is dropped silently (ok).
  virtual SendResult send_response(const rmw_request_id_t& request_id, const void* response) = 0;
};

class ClientCore {
public:
  static std::unique_ptr<ClientCore> create(const std::shared_ptr<Participant>& participant,
                                            const ServiceEndpoints& endpoints,
                                            DataReadyCallback on_response);
  virtual ~ClientCore() = default;

  /// Writes the request; `sequence_number` is the request writer's sequence number of that sample.
  virtual bool send_request(const void* request, int64_t& sequence_number) = 0;
  /// Takes the next reply meant for this client (others are taken and dropped); false if none.
  virtual bool take_response(void* response, rmw_request_id_t& request_id) = 0;
  /// rmw_fastrtps's availability rule: a server's request reader and reply writer are discovered
  /// in equal numbers and both of this client's endpoints have matched.
  virtual bool service_is_available() const = 0;
};

}  // namespace rclcpp_lite

#endif  // RCLCPP_LITE__MIDDLEWARE_HPP_
