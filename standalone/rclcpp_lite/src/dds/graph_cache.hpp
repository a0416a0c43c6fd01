// The DDS endpoints this participant knows of, local and remote, by GUID with their topic and
// type names; and the nodes each participant announced on ros_discovery_info, with the endpoints
// they own. Every change bumps a generation counter that waiters block on.
#ifndef RCLCPP_LITE__DDS__GRAPH_CACHE_HPP_
#define RCLCPP_LITE__DDS__GRAPH_CACHE_HPP_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <fastdds/rtps/common/Guid.h>

namespace rclcpp_lite::middleware {

class GraphCache {
public:
  enum class EndpointKind { reader, writer };

  struct Endpoint {
    std::string topic;  ///< DDS topic name, e.g. "rt/robot_event"
    std::string type;   ///< DDS type name, e.g. "velmoria_protocol::msg::dds_::RobotEvent_"
  };

  struct NodeEntities {
    std::string node_namespace;
    std::string node_name;
    std::vector<eprosima::fastrtps::rtps::GUID_t> readers;
    std::vector<eprosima::fastrtps::rtps::GUID_t> writers;
  };

  /// Adding a known GUID again only updates its topic and type.
  void add_endpoint(EndpointKind kind, const eprosima::fastrtps::rtps::GUID_t& guid,
                    Endpoint endpoint);
  void remove_endpoint(EndpointKind kind, const eprosima::fastrtps::rtps::GUID_t& guid);
  /// Replaces what the participant announced of its nodes.
  void set_participant_nodes(const eprosima::fastrtps::rtps::GuidPrefix_t& prefix,
                             std::vector<NodeEntities> nodes);
  /// Forgets every endpoint and node of a participant that left or was dropped.
  void remove_participant(const eprosima::fastrtps::rtps::GuidPrefix_t& prefix);
  /// A change that moves no count, e.g. a new participant; waiters still want to re-check.
  void note_change();

  size_t count(EndpointKind kind, const std::string& topic) const;
  std::vector<Endpoint> endpoints(EndpointKind kind) const;
  /// (namespace, name) of every announced node.
  std::vector<std::pair<std::string, std::string>> node_names() const;
  /// The endpoints of that kind the node owns, of those discovered; false if no participant
  /// announced such a node.
  bool node_endpoints(const std::string& node_namespace, const std::string& node_name,
                      EndpointKind kind, std::vector<Endpoint>& found) const;

  uint64_t generation() const;
  bool wait_for_change(uint64_t seen, std::chrono::nanoseconds timeout);

private:
  using EndpointMap = std::map<eprosima::fastrtps::rtps::GUID_t, Endpoint>;
  EndpointMap& endpoint_map(EndpointKind kind) {
    return kind == EndpointKind::reader ? readers_ : writers_;
  }
  const EndpointMap& endpoint_map(EndpointKind kind) const {
    return kind == EndpointKind::reader ? readers_ : writers_;
  }
  /// Call with mutex_ held.
  void bump_generation();

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  EndpointMap readers_;
  EndpointMap writers_;
  std::map<eprosima::fastrtps::rtps::GuidPrefix_t, std::vector<NodeEntities>> nodes_;
  uint64_t generation_ = 0;
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__GRAPH_CACHE_HPP_
