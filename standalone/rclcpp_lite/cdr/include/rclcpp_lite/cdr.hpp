// Plain CDR (XCDR1) for ROS messages, driven by C++ introspection type support: the encoding
// rmw_fastrtps_cpp puts on the wire, so peers built on real ROS 2 read what we write.
#ifndef RCLCPP_LITE__CDR_HPP_
#define RCLCPP_LITE__CDR_HPP_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rosidl_runtime_c/message_type_support_struct.h"
#include "rosidl_typesupport_introspection_cpp/message_introspection.hpp"

namespace rclcpp_lite {

/// Encodes and decodes one message type. The payload starts with the 4-byte encapsulation header
/// (`00 01 00 00` for little endian); alignment counts from the byte after it.
class CdrCodec {
public:
  /// Throws std::invalid_argument if the handle carries no C++ introspection type support.
  explicit CdrCodec(const rosidl_message_type_support_t* type_support);

  /// Exact number of bytes serialize() writes for this message, header included.
  size_t serialized_size(const void* message) const;

  /// Writes the message into buffer; returns the bytes written, or 0 if it does not fit or a
  /// bounded string or sequence holds more than its bound.
  size_t serialize(const void* message, uint8_t* buffer, size_t capacity) const;
  /// Convenience form; empty on failure.
  std::vector<uint8_t> serialize(const void* message) const;

  /// Fills an initialised message from a payload in either byte order. False (message content
  /// unspecified but valid) if the payload is truncated, malformed or breaks a bound.
  bool deserialize(const uint8_t* data, size_t length, void* message) const;

  /// "pkg::msg::dds_::Name_", the type name rmw_fastrtps_cpp registers.
  std::string dds_type_name() const;
  const rosidl_typesupport_introspection_cpp::MessageMembers& members() const { return *members_; }

private:
  const rosidl_typesupport_introspection_cpp::MessageMembers* members_;
};

}  // namespace rclcpp_lite

#endif  // RCLCPP_LITE__CDR_HPP_
