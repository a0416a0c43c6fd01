#include "discovery_info.hpp"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "qos_mapping.hpp"
#include "request_id_conversion.hpp"
#include "rmw/qos_profiles.h"
#include "rmw_dds_common/msg/participant_entities_info.hpp"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"

namespace rclcpp_lite::middleware {

namespace {

namespace fdds = eprosima::fastdds::dds;
using eprosima::fastrtps::rtps::GUID_t;
using rmw_dds_common::msg::Gid;
using rmw_dds_common::msg::NodeEntitiesInfo;
using rmw_dds_common::msg::ParticipantEntitiesInfo;
using Kind = GraphCache::EndpointKind;

/// rmw_fastrtps_cpp's QoS of the topic: the latest table of each participant for late joiners.
rmw_qos_profile_t discovery_info_qos() {
  rmw_qos_profile_t qos = rmw_qos_profile_default;
  qos.depth = 1;
  qos.durability = RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
  qos.avoid_ros_namespace_conventions = true;
  return qos;
}

/// The 24-byte GID: the 16-byte GUID, then zeros.
template <typename GidSequence>
void append_gids(const std::vector<GUID_t>& guids, GidSequence& gids) {
  for (const GUID_t& guid : guids) {
    gids.emplace_back();
    guid_to_bytes(guid, gids.back().data.data());
  }
}

}  // namespace

const char* const DiscoveryInfo::kTopic = "ros_discovery_info";

const rosidl_message_type_support_t* DiscoveryInfo::type_support() {
  return rosidl_typesupport_introspection_cpp::get_message_type_support_handle<
      ParticipantEntitiesInfo>();
}

DiscoveryInfo::DiscoveryInfo(fdds::DomainParticipant* participant, fdds::Publisher* publisher,
                             fdds::Topic* topic)
    : participant_guid_(participant->guid()) {
  writer_ = publisher->create_datawriter(topic, make_writer_qos(discovery_info_qos()));
  if (writer_ == nullptr) {
    throw std::runtime_error(std::string("Fast DDS could not create the writer of ") + kTopic);
  }
}

NodeId DiscoveryInfo::add_node(const std::string& node_namespace, const std::string& node_name) {
  std::lock_guard<std::mutex> lock(mutex_);
  const NodeId node = ++last_node_;
  nodes_[node] = NodeEntities{node_namespace, node_name, {}, {}};
  announce();
  return node;
}

void DiscoveryInfo::remove_node(NodeId node) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (nodes_.erase(node) > 0) {
    announce();
  }
}

void DiscoveryInfo::associate(NodeId node, Kind kind, const GUID_t& endpoint) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto entry = nodes_.find(node);
  if (entry != nodes_.end()) {
    (kind == Kind::reader ? entry->second.readers : entry->second.writers).push_back(endpoint);
    announce();
  }
}

void DiscoveryInfo::dissociate(NodeId node, Kind kind, const GUID_t& endpoint) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto entry = nodes_.find(node);
  if (entry == nodes_.end()) {
    return;
  }
  auto& endpoints = kind == Kind::reader ? entry->second.readers : entry->second.writers;
  const auto found = std::find(endpoints.begin(), endpoints.end(), endpoint);
  if (found != endpoints.end()) {
    endpoints.erase(found);
    announce();
  }
}

void DiscoveryInfo::announce() {
  ParticipantEntitiesInfo info;
  guid_to_bytes(participant_guid_, info.gid.data.data());
  for (const auto& entry : nodes_) {
    const NodeEntities& node = entry.second;
    NodeEntitiesInfo node_info;
    node_info.node_namespace = node.node_namespace;
    node_info.node_name = node.node_name;
    append_gids(node.readers, node_info.reader_gid_seq);
    append_gids(node.writers, node_info.writer_gid_seq);
    info.node_entities_info_seq.push_back(std::move(node_info));
  }
  // A failed write leaves the others with the previous table until the next change, as in rmw.
  writer_->write(&info);
}

}  // namespace rclcpp_lite::middleware
