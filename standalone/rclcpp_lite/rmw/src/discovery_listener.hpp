// Feeds Fast DDS's builtin discovery into the graph cache, as rmw_fastrtps's participant
// listener does. Fast DDS 2.9 reports the participant's own endpoints here too; the cache keys
// endpoints by GUID, so hearing of one twice does not count it twice.
#ifndef RCLCPP_LITE__DDS__DISCOVERY_LISTENER_HPP_
#define RCLCPP_LITE__DDS__DISCOVERY_LISTENER_HPP_

#include <string>

#include <fastdds/dds/domain/DomainParticipantListener.hpp>

#include "graph_cache.hpp"

namespace rclcpp_lite::middleware {

class DiscoveryListener : public eprosima::fastdds::dds::DomainParticipantListener {
public:
  explicit DiscoveryListener(GraphCache& graph) : graph_(graph) {}

  void on_participant_discovery(eprosima::fastdds::dds::DomainParticipant* participant,
                                eprosima::fastrtps::rtps::ParticipantDiscoveryInfo&& info) override;
  void on_subscriber_discovery(eprosima::fastdds::dds::DomainParticipant* participant,
                               eprosima::fastrtps::rtps::ReaderDiscoveryInfo&& info) override;
  void on_publisher_discovery(eprosima::fastdds::dds::DomainParticipant* participant,
                              eprosima::fastrtps::rtps::WriterDiscoveryInfo&& info) override;

private:
  void track(GraphCache::EndpointKind kind, bool removed,
             const eprosima::fastrtps::rtps::GUID_t& guid, const std::string& topic);

  GraphCache& graph_;
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__DISCOVERY_LISTENER_HPP_
