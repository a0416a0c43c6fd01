#include "discovery_info.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

#include <fastdds/dds/subscriber/SampleInfo.hpp>

#include "qos_mapping.hpp"
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
  qos.history = RMW_QOS_POLICY_HISTORY_KEEP_LAST;
  qos.depth = 1;
  qos.reliability = RMW_QOS_POLICY_RELIABILITY_RELIABLE;
  qos.durability = RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
  qos.avoid_ros_namespace_conventions = true;
  return qos;
}

/// The 24-byte GID: the 16-byte GUID (prefix, then entity id), then zeros.
Gid to_gid(const GUID_t& guid) {
  Gid gid;
  std::memcpy(gid.data.data(), guid.guidPrefix.value, guid.guidPrefix.size);
  std::memcpy(gid.data.data() + guid.guidPrefix.size, guid.entityId.value, guid.entityId.size);
  return gid;
}

GUID_t to_guid(const Gid& gid) {
  GUID_t guid;
  std::memcpy(guid.guidPrefix.value, gid.data.data(), guid.guidPrefix.size);
  std::memcpy(guid.entityId.value, gid.data.data() + guid.guidPrefix.size, guid.entityId.size);
  return guid;
}

template <typename GidSequence>
std::vector<GUID_t> to_guids(const GidSequence& gids) {
  std::vector<GUID_t> guids;
  for (const Gid& gid : gids) {
    guids.push_back(to_guid(gid));
  }
  return guids;
}

template <typename GidSequence>
void append_gids(const std::vector<GUID_t>& guids, GidSequence& gids) {
  for (const GUID_t& guid : guids) {
    gids.push_back(to_gid(guid));
  }
}

std::vector<GUID_t>& endpoints_of(GraphCache::NodeEntities& node, Kind kind) {
  return kind == Kind::reader ? node.readers : node.writers;
}

}  // namespace

const char* const DiscoveryInfo::kTopic = "ros_discovery_info";

const rosidl_message_type_support_t* DiscoveryInfo::type_support() {
  return rosidl_typesupport_introspection_cpp::get_message_type_support_handle<
      ParticipantEntitiesInfo>();
}

DiscoveryInfo::DiscoveryInfo(fdds::DomainParticipant* participant, fdds::Publisher* publisher,
                             fdds::Subscriber* subscriber, fdds::Topic* topic, GraphCache& graph)
    : participant_guid_(participant->guid()), graph_(graph) {
  writer_ = publisher->create_datawriter(topic, make_writer_qos(discovery_info_qos()));
  rmw_qos_profile_t reader_qos = discovery_info_qos();
  reader_qos.history = RMW_QOS_POLICY_HISTORY_KEEP_ALL;  // every participant's latest table
  if (writer_ == nullptr ||
      subscriber->create_datareader(topic, make_reader_qos(reader_qos), this,
                                    fdds::StatusMask::data_available()) == nullptr) {
    throw std::runtime_error(std::string("Fast DDS could not create the endpoints of ") + kTopic);
  }
}

NodeId DiscoveryInfo::add_node(const std::string& node_namespace, const std::string& node_name) {
  std::lock_guard<std::mutex> lock(mutex_);
  const NodeId node = ++last_node_;
  nodes_[node] = GraphCache::NodeEntities{node_namespace, node_name, {}, {}};
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
    endpoints_of(entry->second, kind).push_back(endpoint);
    announce();
  }
}

void DiscoveryInfo::dissociate(NodeId node, Kind kind, const GUID_t& endpoint) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto entry = nodes_.find(node);
  if (entry == nodes_.end()) {
    return;
  }
  auto& endpoints = endpoints_of(entry->second, kind);
  const auto found = std::find(endpoints.begin(), endpoints.end(), endpoint);
  if (found != endpoints.end()) {
    endpoints.erase(found);
    announce();
  }
}

void DiscoveryInfo::announce() {
  ParticipantEntitiesInfo info;
  info.gid = to_gid(participant_guid_);
  std::vector<GraphCache::NodeEntities> nodes;
  for (const auto& entry : nodes_) {
    const GraphCache::NodeEntities& node = entry.second;
    NodeEntitiesInfo node_info;
    node_info.node_namespace = node.node_namespace;
    node_info.node_name = node.node_name;
    append_gids(node.readers, node_info.reader_gid_seq);
    append_gids(node.writers, node_info.writer_gid_seq);
    info.node_entities_info_seq.push_back(std::move(node_info));
    nodes.push_back(node);
  }
  graph_.set_participant_nodes(participant_guid_.guidPrefix, std::move(nodes));
  // A failed write leaves the others with the previous table until the next change, as in rmw.
  writer_->write(&info);
}

void DiscoveryInfo::on_data_available(fdds::DataReader* reader) {
  ParticipantEntitiesInfo info;
  fdds::SampleInfo sample;
  while (reader->take_next_sample(&info, &sample) == ReturnCode_t::RETCODE_OK) {
    const GUID_t participant = to_guid(info.gid);
    // Our own table reaches our reader too; the cache has it already, maybe newer.
    if (!sample.valid_data || participant.guidPrefix == participant_guid_.guidPrefix) {
      continue;
    }
    std::vector<GraphCache::NodeEntities> nodes;
    for (const NodeEntitiesInfo& node : info.node_entities_info_seq) {
      nodes.push_back({node.node_namespace, node.node_name, to_guids(node.reader_gid_seq),
                       to_guids(node.writer_gid_seq)});
    }
    graph_.set_participant_nodes(participant.guidPrefix, std::move(nodes));
  }
}

}  // namespace rclcpp_lite::middleware
