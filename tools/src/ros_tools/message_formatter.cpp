#include "ros_tools/message_formatter.hpp"

#include <rosidl_typesupport_introspection_cpp/field_types.hpp>

#include <cstdint>
#include <cstdio>
#include <sstream>

namespace ros_tools {

namespace {

namespace types = rosidl_typesupport_introspection_cpp;

template <typename T>
const T& As(const void* field) {
  return *static_cast<const T*>(field);
}

}  // namespace

std::string MessageFormatter::Quote(const std::string& text) {
  std::string quoted = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(c);
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (c < 0x20 || c >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02X", c);
      quoted += escaped;
    } else {
      quoted += static_cast<char>(c);
    }
  }
  return quoted + "\"";
}

std::string MessageFormatter::FormatMessage(const Members* members, const void* message,
                                            const std::string& skip_field) {
  std::string text = "{";
  bool first = true;
  for (uint32_t i = 0; i < members->member_count_; ++i) {
    const types::MessageMember& member = members->members_[i];
    if (member.name_ == skip_field) continue;
    text += (first ? "" : ", ") + std::string(member.name_) + ": " +
            FormatField(member, static_cast<const char*>(message) + member.offset_);
    first = false;
  }
  return text + "}";
}

std::string MessageFormatter::FormatField(const types::MessageMember& member, const void* field) {
  if (member.is_array_) {
    return "[" + std::to_string(member.size_function(field)) + " items]";
  }
  std::ostringstream out;
  switch (member.type_id_) {
    case types::ROS_TYPE_MESSAGE:
      return FormatMessage(static_cast<const Members*>(member.members_->data), field, "");
    case types::ROS_TYPE_STRING:
      return Quote(As<std::string>(field));
    case types::ROS_TYPE_BOOLEAN:
      return As<bool>(field) ? "true" : "false";
    case types::ROS_TYPE_FLOAT:
      out << As<float>(field);
      break;
    case types::ROS_TYPE_DOUBLE:
      out << As<double>(field);
      break;
    case types::ROS_TYPE_INT8:
      out << static_cast<int>(As<int8_t>(field));
      break;
    case types::ROS_TYPE_UINT8:
    case types::ROS_TYPE_OCTET:
    case types::ROS_TYPE_CHAR:
      out << static_cast<int>(As<uint8_t>(field));
      break;
    case types::ROS_TYPE_INT16:
      out << As<int16_t>(field);
      break;
    case types::ROS_TYPE_UINT16:
      out << As<uint16_t>(field);
      break;
    case types::ROS_TYPE_INT32:
      out << As<int32_t>(field);
      break;
    case types::ROS_TYPE_UINT32:
      out << As<uint32_t>(field);
      break;
    case types::ROS_TYPE_INT64:
      out << As<int64_t>(field);
      break;
    case types::ROS_TYPE_UINT64:
      out << As<uint64_t>(field);
      break;
    default:
      return "<unsupported type>";
  }
  return out.str();
}

}  // namespace ros_tools
