#include "rclcpp_lite/cdr.hpp"

#include <cstring>
#include <limits>
#include <stdexcept>

#include "cdr_reader.hpp"
#include "cdr_writer.hpp"
#include "rosidl_typesupport_introspection_cpp/field_types.hpp"
#include "rosidl_typesupport_introspection_cpp/identifier.hpp"

namespace rclcpp_lite {

namespace {

namespace introspection = rosidl_typesupport_introspection_cpp;
using introspection::MessageMember;
using introspection::MessageMembers;
using middleware::CdrReader;
using middleware::CdrWriter;

constexpr size_t kLengthSize = 4;

/// The bytes of a primitive, the same in the C++ struct and in CDR, where it is aligned to its
/// size. wchar and long double have no fixed wire size in CDR and are not supported (no message
/// type here has them).
size_t primitive_size(uint8_t type_id) {
  switch (type_id) {
    case introspection::ROS_TYPE_BOOLEAN:
    case introspection::ROS_TYPE_OCTET:
    case introspection::ROS_TYPE_UINT8:
    case introspection::ROS_TYPE_INT8:
    case introspection::ROS_TYPE_CHAR:
      return 1;
    case introspection::ROS_TYPE_UINT16:
    case introspection::ROS_TYPE_INT16:
      return 2;
    case introspection::ROS_TYPE_FLOAT:
    case introspection::ROS_TYPE_UINT32:
    case introspection::ROS_TYPE_INT32:
      return 4;
    case introspection::ROS_TYPE_DOUBLE:
    case introspection::ROS_TYPE_UINT64:
    case introspection::ROS_TYPE_INT64:
      return 8;
    default:
      throw std::invalid_argument("unsupported introspection type id " + std::to_string(type_id));
  }
}

bool is_composite(uint8_t type_id) {
  return type_id == introspection::ROS_TYPE_STRING || type_id == introspection::ROS_TYPE_MESSAGE;
}

/// Arrays of these are copied in one block: no value needs normalising (bool does).
bool is_bulk_copyable(uint8_t type_id) {
  return !is_composite(type_id) && type_id != introspection::ROS_TYPE_BOOLEAN;
}

bool is_sequence(const MessageMember& member) {
  return member.array_size_ == 0 || member.is_upper_bound_;
}

bool within_bound(size_t length, size_t bound) {
  return bound == 0 || length <= bound;
}

const MessageMembers& nested_members(const MessageMember& member) {
  return *static_cast<const MessageMembers*>(member.members_->data);
}

// ---------------------------------------------------------------------------------- writing

void write_message(CdrWriter& writer, const MessageMembers& members, const void* message);

void write_primitive(CdrWriter& writer, uint8_t type_id, const void* value) {
  if (type_id == introspection::ROS_TYPE_BOOLEAN) {  // any non-zero byte is true; CDR wants 0 or 1
    writer.write_u8(*static_cast<const uint8_t*>(value) != 0 ? 1 : 0);
    return;
  }
  const size_t size = primitive_size(type_id);
  writer.write(value, size, size);
}

void write_string(CdrWriter& writer, const std::string& text, size_t bound) {
  if (!within_bound(text.size(), bound) || text.size() >= std::numeric_limits<uint32_t>::max()) {
    writer.fail();
    return;
  }
  writer.write_u32(static_cast<uint32_t>(text.size() + 1));  // the length counts the NUL
  writer.write_array(text.c_str(), 1, text.size() + 1, 1);
}

void write_element(CdrWriter& writer, const MessageMember& member, const void* value) {
  switch (member.type_id_) {
    case introspection::ROS_TYPE_STRING:
      write_string(writer, *static_cast<const std::string*>(value), member.string_upper_bound_);
      return;
    case introspection::ROS_TYPE_MESSAGE:
      write_message(writer, nested_members(member), value);
      return;
    default:
      write_primitive(writer, member.type_id_, value);
  }
}

void write_array_member(CdrWriter& writer, const MessageMember& member, const void* field) {
  size_t count = member.array_size_;
  if (is_sequence(member)) {
    count = member.size_function(field);
    if ((member.is_upper_bound_ && count > member.array_size_) ||
        count > std::numeric_limits<uint32_t>::max()) {
      writer.fail();
      return;
    }
    writer.write_u32(static_cast<uint32_t>(count));
  }
  if (count == 0) {
    return;
  }
  if (is_bulk_copyable(member.type_id_)) {
    const size_t size = primitive_size(member.type_id_);
    writer.write_array(member.get_const_function(field, 0), size, count, size);
    return;
  }
  for (size_t i = 0; i < count && writer.ok(); ++i) {
    if (member.get_const_function == nullptr) {  // std::vector<bool> has no element addresses
      bool value = false;
      member.fetch_function(field, i, &value);
      write_primitive(writer, member.type_id_, &value);
    } else {
      write_element(writer, member, member.get_const_function(field, i));
    }
  }
}

void write_message(CdrWriter& writer, const MessageMembers& members, const void* message) {
  if (members.member_count_ == 0) {  // CDR has no empty structs: one zero byte stands in
    writer.write_u8(0);
    return;
  }
  for (uint32_t i = 0; i < members.member_count_ && writer.ok(); ++i) {
    const MessageMember& member = members.members_[i];
    const void* field = static_cast<const uint8_t*>(message) + member.offset_;
    if (member.is_array_) {
      write_array_member(writer, member, field);
    } else {
      write_element(writer, member, field);
    }
  }
}

// ---------------------------------------------------------------------------------- reading

bool read_message(CdrReader& reader, const MessageMembers& members, void* message);

bool read_primitive(CdrReader& reader, uint8_t type_id, void* value) {
  if (type_id == introspection::ROS_TYPE_BOOLEAN) {
    uint8_t byte = 0;
    if (!reader.read(&byte, 1, 1) || byte > 1) {
      return false;
    }
    *static_cast<bool*>(value) = byte != 0;
    return true;
  }
  const size_t size = primitive_size(type_id);
  return reader.read(value, size, size);
}

bool read_string(CdrReader& reader, std::string& text, size_t bound) {
  uint32_t length = 0;
  const uint8_t* bytes = nullptr;
  if (!reader.read_u32(length) || !reader.read_bytes(bytes, length)) {
    return false;
  }
  if (length > 0 && bytes[length - 1] == '\0') {  // the NUL is framing, not content
    --length;
  }
  if (!within_bound(length, bound)) {
    return false;
  }
  text.assign(reinterpret_cast<const char*>(bytes), length);
  return true;
}

bool read_element(CdrReader& reader, const MessageMember& member, void* value) {
  switch (member.type_id_) {
    case introspection::ROS_TYPE_STRING:
      return read_string(reader, *static_cast<std::string*>(value), member.string_upper_bound_);
    case introspection::ROS_TYPE_MESSAGE:
      return read_message(reader, nested_members(member), value);
    default:
      return read_primitive(reader, member.type_id_, value);
  }
}

/// The fewest bytes one element can occupy; bounds sequence lengths before anything is allocated.
size_t minimum_wire_size(uint8_t type_id) {
  switch (type_id) {
    case introspection::ROS_TYPE_STRING:
      return kLengthSize;
    case introspection::ROS_TYPE_MESSAGE:
      return 1;
    default:
      return primitive_size(type_id);
  }
}

bool read_sequence_length(CdrReader& reader, const MessageMember& member, size_t& count) {
  uint32_t length = 0;
  if (!reader.read_u32(length) || (member.is_upper_bound_ && length > member.array_size_) ||
      length > reader.remaining() / minimum_wire_size(member.type_id_)) {
    return false;
  }
  count = length;
  return true;
}

bool read_array_member(CdrReader& reader, const MessageMember& member, void* field) {
  size_t count = member.array_size_;
  if (is_sequence(member)) {
    if (!read_sequence_length(reader, member, count)) {
      return false;
    }
    member.resize_function(field, count);
  }
  if (count == 0) {
    return true;
  }
  if (is_bulk_copyable(member.type_id_)) {
    const size_t size = primitive_size(member.type_id_);
    return reader.read_array(member.get_function(field, 0), size, count, size);
  }
  for (size_t i = 0; i < count; ++i) {
    if (member.get_function == nullptr) {  // std::vector<bool>
      bool value = false;
      if (!read_primitive(reader, member.type_id_, &value)) {
        return false;
      }
      member.assign_function(field, i, &value);
    } else if (!read_element(reader, member, member.get_function(field, i))) {
      return false;
    }
  }
  return true;
}

bool read_message(CdrReader& reader, const MessageMembers& members, void* message) {
  if (members.member_count_ == 0) {
    uint8_t placeholder = 0;
    return reader.read(&placeholder, 1, 1);
  }
  for (uint32_t i = 0; i < members.member_count_; ++i) {
    const MessageMember& member = members.members_[i];
    void* field = static_cast<uint8_t*>(message) + member.offset_;
    const bool read = member.is_array_ ? read_array_member(reader, member, field)
                                       : read_element(reader, member, field);
    if (!read) {
      return false;
    }
  }
  return true;
}

/// Rejects type ids the codec cannot encode up front, so encoding never meets one.
void check_supported(const MessageMembers& members) {
  for (uint32_t i = 0; i < members.member_count_; ++i) {
    const MessageMember& member = members.members_[i];
    if (member.type_id_ == introspection::ROS_TYPE_MESSAGE) {
      check_supported(nested_members(member));
    } else if (!is_composite(member.type_id_)) {
      primitive_size(member.type_id_);
    }
  }
}

const MessageMembers* find_introspection_members(const rosidl_message_type_support_t* handle) {
  if (handle == nullptr) {
    throw std::invalid_argument("null message type support");
  }
  if (std::strcmp(handle->typesupport_identifier, introspection::typesupport_identifier) != 0) {
    handle = handle->func != nullptr ? handle->func(handle, introspection::typesupport_identifier)
                                     : nullptr;
  }
  if (handle == nullptr || handle->data == nullptr) {
    throw std::invalid_argument("message type support is not rosidl_typesupport_introspection_cpp");
  }
  const auto* members = static_cast<const MessageMembers*>(handle->data);
  check_supported(*members);
  return members;
}

}  // namespace

CdrCodec::CdrCodec(const rosidl_message_type_support_t* type_support)
    : members_(find_introspection_members(type_support)) {}

size_t CdrCodec::serialized_size(const void* message) const {
  CdrWriter counter;
  counter.write_header();
  write_message(counter, *members_, message);
  return counter.size();
}

size_t CdrCodec::serialize(const void* message, uint8_t* buffer, size_t capacity) const {
  CdrWriter writer(buffer, capacity);
  writer.write_header();
  write_message(writer, *members_, message);
  return writer.ok() ? writer.size() : 0;
}

std::vector<uint8_t> CdrCodec::serialize(const void* message) const {
  std::vector<uint8_t> bytes(serialized_size(message));
  bytes.resize(serialize(message, bytes.data(), bytes.size()));
  return bytes;
}

bool CdrCodec::deserialize(const uint8_t* data, size_t length, void* message) const {
  CdrReader reader(data, length);
  try {
    return reader.ok() && read_message(reader, *members_, message);
  } catch (const std::exception&) {  // allocation failures while resizing
    return false;
  }
}

std::string CdrCodec::dds_type_name() const {
  return std::string(members_->message_namespace_) + "::dds_::" + members_->message_name_ + "_";
}

}  // namespace rclcpp_lite
