// GUIDs and sequence numbers in the byte forms ROS carries them in: a GUID as its 12-byte prefix
// then its 4-byte entity id (rmw_request_id_t's writer_guid, the first 16 bytes of a GID), a
// sequence number as (high << 32) | low.
#ifndef RCLCPP_LITE__DDS__REQUEST_ID_CONVERSION_HPP_
#define RCLCPP_LITE__DDS__REQUEST_ID_CONVERSION_HPP_

#include <cstdint>

#include <fastdds/rtps/common/Guid.h>
#include <fastdds/rtps/common/SequenceNumber.h>

namespace rclcpp_lite::middleware {

/// Writes the GUID's 16 bytes to `bytes`.
void guid_to_bytes(const eprosima::fastrtps::rtps::GUID_t& guid, void* bytes);
/// Reads a GUID from 16 bytes.
eprosima::fastrtps::rtps::GUID_t guid_from_bytes(const void* bytes);
/// True if the entity id's kind marks a DDS reader.
bool is_reader_guid(const eprosima::fastrtps::rtps::GUID_t& guid);

int64_t sequence_to_int64(const eprosima::fastrtps::rtps::SequenceNumber_t& sequence);
eprosima::fastrtps::rtps::SequenceNumber_t sequence_from_int64(int64_t value);

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__REQUEST_ID_CONVERSION_HPP_
