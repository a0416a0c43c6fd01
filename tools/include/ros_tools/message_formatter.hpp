#ifndef ROS_TOOLS_MESSAGE_FORMATTER_HPP_
#define ROS_TOOLS_MESSAGE_FORMATTER_HPP_

#include <string>

#include <rosidl_runtime_c/message_type_support_struct.h>
#include <rosidl_typesupport_introspection_cpp/message_introspection.hpp>
#include <rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp>

namespace ros_tools {

// One-line YAML flow text of a generated ROS message, e.g. {event_id: 5303, event_status: 1};
// strings are double-quoted with C escapes.
class MessageFormatter {
public:
  using Members = rosidl_typesupport_introspection_cpp::MessageMembers;

  // skip_field: a top-level field left out (e.g. "header", shown apart by the caller).
  template <typename Message>
  static std::string Format(const Message& message, const std::string& skip_field = "") {
    const rosidl_message_type_support_t* type_support =
        rosidl_typesupport_introspection_cpp::get_message_type_support_handle<Message>();
    return FormatMessage(static_cast<const Members*>(type_support->data), &message, skip_field);
  }

  static std::string Quote(const std::string& text);

private:
  static std::string FormatMessage(const Members* members, const void* message,
                                   const std::string& skip_field);
  static std::string FormatField(const rosidl_typesupport_introspection_cpp::MessageMember& member,
                                 const void* field);
};

}  // namespace ros_tools

#endif  // ROS_TOOLS_MESSAGE_FORMATTER_HPP_
