#include "rclcpp_lite/participant_qos.hpp"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <fastdds/rtps/transport/UDPv4TransportDescriptor.h>
#include <fastrtps/utils/IPLocator.h>

namespace rclcpp_lite::middleware {

namespace {

namespace fdds = eprosima::fastdds::dds;
using eprosima::fastrtps::rtps::Locator_t;

constexpr const char* kEnclave = "/";
// Unicast discovery reaches participant ids 0..range-1 on this host: room for a dozen processes.
constexpr uint32_t kMaxInitialPeersRange = 32;
// A participant's first reply to a newcomer is sometimes lost (measured: about 1 start in 15,
// newcomer hears nothing until the next periodic announcement). The period (Fast DDS default
// 3 s) therefore bounds discovery time; 250 ms keeps it well under a second at 128 small loopback
// datagrams a second per participant.
const eprosima::fastrtps::Duration_t kAnnouncementPeriod(0, 250'000'000);
constexpr size_t kPreallocatedSendBuffers = 2;

Locator_t loopback_locator() {
  Locator_t locator;
  locator.kind = LOCATOR_KIND_UDPv4;
  eprosima::fastrtps::rtps::IPLocator::setIPv4(locator, 127, 0, 0, 1);
  locator.port = 0;  // 0: the well-known port of the domain and participant id
  return locator;
}

void restrict_to_loopback(fdds::DomainParticipantQos& qos) {
  qos.transport().use_builtin_transports = false;
  auto udp = std::make_shared<eprosima::fastdds::rtps::UDPv4TransportDescriptor>();
  udp->interfaceWhiteList.emplace_back("127.0.0.1");
  udp->maxInitialPeersRange = kMaxInitialPeersRange;
  qos.transport().user_transports.push_back(udp);

  // A unicast metatraffic locator with no multicast one turns multicast discovery off.
  auto& builtin = qos.wire_protocol().builtin;
  builtin.metatrafficUnicastLocatorList.push_back(loopback_locator());
  builtin.metatrafficMulticastLocatorList.clear();
  builtin.initialPeersList.push_back(loopback_locator());
  qos.wire_protocol().default_unicast_locator_list.push_back(loopback_locator());
}

}  // namespace

bool localhost_only_from_environment() {
  const char* value = std::getenv("ROS_LOCALHOST_ONLY");
  return value == nullptr || std::strcmp(value, "0") != 0;
}

fdds::DomainParticipantQos make_participant_qos(bool localhost_only) {
  fdds::DomainParticipantQos qos = fdds::PARTICIPANT_QOS_DEFAULT;
  qos.name(kEnclave);
  const std::string user_data = std::string("enclave=") + kEnclave + ";";
  std::vector<eprosima::fastrtps::rtps::octet> bytes(user_data.begin(), user_data.end());
  bytes.push_back('\0');  // rmw_fastrtps sends the terminating NUL too
  qos.user_data().data_vec(bytes);

  auto& builtin = qos.wire_protocol().builtin;
  builtin.readerHistoryMemoryPolicy =
      eprosima::fastrtps::rtps::PREALLOCATED_WITH_REALLOC_MEMORY_MODE;
  builtin.writerHistoryMemoryPolicy =
      eprosima::fastrtps::rtps::PREALLOCATED_WITH_REALLOC_MEMORY_MODE;
  builtin.discovery_config.leaseDuration_announcementperiod = kAnnouncementPeriod;
  // Fast DDS makes a 64 KB send buffer up front for every thread that might send, half a
  // megabyte in all; two cover a node's usual traffic, and more are made when more threads send
  // at once.
  qos.allocation().send_buffers.preallocated_number = kPreallocatedSendBuffers;
  qos.allocation().send_buffers.dynamic = true;

  if (localhost_only) {
    restrict_to_loopback(qos);
  }
  return qos;
}

}  // namespace rclcpp_lite::middleware
