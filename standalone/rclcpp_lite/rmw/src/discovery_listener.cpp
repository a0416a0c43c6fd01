#include "discovery_listener.hpp"

namespace rclcpp_lite::middleware {

using eprosima::fastrtps::rtps::ParticipantDiscoveryInfo;
using eprosima::fastrtps::rtps::ReaderDiscoveryInfo;
using eprosima::fastrtps::rtps::WriterDiscoveryInfo;
using Kind = GraphCache::EndpointKind;

void DiscoveryListener::on_participant_discovery(eprosima::fastdds::dds::DomainParticipant*,
                                                 ParticipantDiscoveryInfo&& info) {
  switch (info.status) {
    case ParticipantDiscoveryInfo::REMOVED_PARTICIPANT:
    case ParticipantDiscoveryInfo::DROPPED_PARTICIPANT:
      graph_.remove_participant(info.info.m_guid.guidPrefix);
      break;
    default:
      graph_.note_change();
  }
}

void DiscoveryListener::on_subscriber_discovery(eprosima::fastdds::dds::DomainParticipant*,
                                                ReaderDiscoveryInfo&& info) {
  track(Kind::reader, info.status == ReaderDiscoveryInfo::REMOVED_READER, info.info.guid(),
        info.info.topicName().to_string());
}

void DiscoveryListener::on_publisher_discovery(eprosima::fastdds::dds::DomainParticipant*,
                                               WriterDiscoveryInfo&& info) {
  track(Kind::writer, info.status == WriterDiscoveryInfo::REMOVED_WRITER, info.info.guid(),
        info.info.topicName().to_string());
}

void DiscoveryListener::track(Kind kind, bool removed, const eprosima::fastrtps::rtps::GUID_t& guid,
                              const std::string& topic) {
  if (removed) {
    graph_.remove_endpoint(kind, guid);
  } else {
    graph_.add_endpoint(kind, guid, topic);
  }
}

}  // namespace rclcpp_lite::middleware
