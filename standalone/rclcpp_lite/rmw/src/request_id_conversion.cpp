#include "request_id_conversion.hpp"

#include <cstring>

namespace rclcpp_lite::middleware {

using eprosima::fastrtps::rtps::GUID_t;
using eprosima::fastrtps::rtps::SequenceNumber_t;

namespace {
constexpr size_t kPrefixSize = 12;
constexpr size_t kEntityIdSize = 4;
constexpr uint8_t kReaderKindBit = 0x04;
}  // namespace

void guid_to_bytes(const GUID_t& guid, void* bytes) {
  std::memcpy(bytes, guid.guidPrefix.value, kPrefixSize);
  std::memcpy(static_cast<uint8_t*>(bytes) + kPrefixSize, guid.entityId.value, kEntityIdSize);
}

GUID_t guid_from_bytes(const void* bytes) {
  GUID_t guid;
  std::memcpy(guid.guidPrefix.value, bytes, kPrefixSize);
  std::memcpy(guid.entityId.value, static_cast<const uint8_t*>(bytes) + kPrefixSize, kEntityIdSize);
  return guid;
}

bool is_reader_guid(const GUID_t& guid) {
  return (guid.entityId.value[3] & kReaderKindBit) != 0;
}

int64_t sequence_to_int64(const SequenceNumber_t& sequence) {
  return static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(sequence.high)) << 32) |
                              sequence.low);
}

SequenceNumber_t sequence_from_int64(int64_t value) {
  const auto bits = static_cast<uint64_t>(value);
  return SequenceNumber_t(static_cast<int32_t>(bits >> 32), static_cast<uint32_t>(bits));
}

}  // namespace rclcpp_lite::middleware
