#ifndef ROS_TOOLS_MESSAGE_FILLER_HPP_
#define ROS_TOOLS_MESSAGE_FILLER_HPP_

#include <string>

#include <rosidl_runtime_c/message_type_support_struct.h>
#include <rosidl_typesupport_introspection_cpp/message_introspection.hpp>
#include <rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp>

#include "ros_tools/yaml_value.hpp"

namespace ros_tools {

// Writes the fields named in a YAML map into a generated ROS message, the way `ros2 service call`
// and `ros2 topic pub` read their YAML argument: fields left out keep their value, nested messages
// are nested maps. Works on any message through its introspection type support.
class MessageFiller {
public:
  using Members = rosidl_typesupport_introspection_cpp::MessageMembers;

  // False and *error (naming the field by its dotted path) on an unknown field, a value of the
  // wrong kind or out of the field's range. The message may be partly written then.
  template <typename Message>
  static bool Fill(const YamlValue& yaml, Message* message, std::string* error) {
    const rosidl_message_type_support_t* type_support =
        rosidl_typesupport_introspection_cpp::get_message_type_support_handle<Message>();
    return FillMessage(yaml, static_cast<const Members*>(type_support->data), message, "", error);
  }

private:
  static bool FillMessage(const YamlValue& yaml, const Members* members, void* message,
                          const std::string& path, std::string* error);
  static bool FillField(const YamlValue& yaml,
                        const rosidl_typesupport_introspection_cpp::MessageMember& member,
                        void* field, const std::string& path, std::string* error);
  static bool FillInteger(const YamlValue& yaml, uint8_t type_id, void* field,
                          const std::string& path, std::string* error);
  static bool FillFloating(const YamlValue& yaml, uint8_t type_id, void* field,
                           const std::string& path, std::string* error);
  static bool FillBool(const YamlValue& yaml, void* field, const std::string& path,
                       std::string* error);
};

}  // namespace ros_tools

#endif  // ROS_TOOLS_MESSAGE_FILLER_HPP_
