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
  if (info.status == ReaderDiscoveryInfo::REMOVED_READER) {
    graph_.remove_endpoint(Kind::reader, info.info.guid());
  } else {
    graph_.add_endpoint(Kind::reader, info.info.guid(),
                        {info.info.topicName().to_string(), info.info.typeName().to_string()});
  }
}

void DiscoveryListener::on_publisher_discovery(eprosima::fastdds::dds::DomainParticipant*,
                                               WriterDiscoveryInfo&& info) {
  if (info.status == WriterDiscoveryInfo::REMOVED_WRITER) {
    graph_.remove_endpoint(Kind::writer, info.info.guid());
  } else {
    graph_.add_endpoint(Kind::writer, info.info.guid(),
                        {info.info.topicName().to_string(), info.info.typeName().to_string()});
  }
}

}  // namespace rclcpp_lite::middleware
