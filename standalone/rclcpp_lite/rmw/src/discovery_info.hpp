// The ros_discovery_info topic of one participant, as rmw_fastrtps_cpp writes it: the participant
// announces its nodes with the GIDs of the readers and writers each owns, again after every
// change. This is what lets the ROS 2 tools name the nodes and the owners of endpoints. What
// other participants announce is not read: nothing here asks the graph for nodes.
#ifndef RCLCPP_LITE__DDS__DISCOVERY_INFO_HPP_
#define RCLCPP_LITE__DDS__DISCOVERY_INFO_HPP_

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <fastdds/dds/domain/DomainParticipant.hpp>
#include <fastdds/dds/publisher/DataWriter.hpp>
#include <fastdds/dds/publisher/Publisher.hpp>
#include <fastdds/dds/topic/Topic.hpp>

#include "graph_cache.hpp"
#include "rclcpp_lite/middleware.hpp"

namespace rclcpp_lite::middleware {

class DiscoveryInfo {
public:
  /// The DDS topic name (no "rt/" prefix) and its type support.
  static const char* const kTopic;
  static const rosidl_message_type_support_t* type_support();

  /// Creates the topic's writer (the participant deletes it with its other entities, before
  /// this goes). Throws std::runtime_error if Fast DDS refuses.
  DiscoveryInfo(eprosima::fastdds::dds::DomainParticipant* participant,
                eprosima::fastdds::dds::Publisher* publisher, eprosima::fastdds::dds::Topic* topic);

  NodeId add_node(const std::string& node_namespace, const std::string& node_name);
  void remove_node(NodeId node);
  /// Adds an endpoint to a node's list, or takes it off; unknown nodes are ignored.
  void associate(NodeId node, GraphCache::EndpointKind kind,
                 const eprosima::fastrtps::rtps::GUID_t& endpoint);
  void dissociate(NodeId node, GraphCache::EndpointKind kind,
                  const eprosima::fastrtps::rtps::GUID_t& endpoint);

private:
  struct NodeEntities {
    std::string node_namespace;
    std::string node_name;
    std::vector<eprosima::fastrtps::rtps::GUID_t> readers;
    std::vector<eprosima::fastrtps::rtps::GUID_t> writers;
  };

  /// Writes the node table. Call with mutex_ held, so that the last one written is the latest.
  void announce();

  const eprosima::fastrtps::rtps::GUID_t participant_guid_;
  eprosima::fastdds::dds::DataWriter* writer_ = nullptr;
  std::mutex mutex_;
  std::map<NodeId, NodeEntities> nodes_;
  NodeId last_node_ = kNoNode;
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__DISCOVERY_INFO_HPP_
