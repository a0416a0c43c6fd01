#include "coverage_type_support.hpp"

#include <cstddef>
#include <new>

#include "rosidl_typesupport_introspection_cpp/field_types.hpp"
#include "rosidl_typesupport_introspection_cpp/identifier.hpp"
#include "rosidl_typesupport_introspection_cpp/message_introspection.hpp"

namespace coverage {

namespace {

namespace introspection = rosidl_typesupport_introspection_cpp;
using introspection::MessageMember;
using introspection::MessageMembers;

template <typename Container>
size_t size_of(const void* container) {
  return static_cast<const Container*>(container)->size();
}
template <typename Container>
const void* get_const(const void* container, size_t index) {
  return &(*static_cast<const Container*>(container))[index];
}
template <typename Container>
void* get(void* container, size_t index) {
  return &(*static_cast<Container*>(container))[index];
}
template <typename Container>
void resize(void* container, size_t size) {
  static_cast<Container*>(container)->resize(size);
}
void fetch_bit(const void* bits, size_t index, void* value) {
  *static_cast<bool*>(value) = (*static_cast<const std::vector<bool>*>(bits))[index];
}
void assign_bit(void* bits, size_t index, const void* value) {
  (*static_cast<std::vector<bool>*>(bits))[index] = *static_cast<const bool*>(value);
}
template <typename T>
void init(void* memory, rosidl_runtime_cpp::MessageInitialization) {
  new (memory) T();
}
template <typename T>
void fini(void* memory) {
  static_cast<T*>(memory)->~T();
}

template <typename Struct, typename Field>
uint32_t offset_of(Field Struct::*field) {
  static const Struct sample{};
  return static_cast<uint32_t>(reinterpret_cast<const char*>(&(sample.*field)) -
                               reinterpret_cast<const char*>(&sample));
}

MessageMember scalar(const char* name, uint8_t type_id, uint32_t offset) {
  return {name,    type_id, 0,       nullptr, false,   0,       false,  offset,
          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
}

template <typename Container>
MessageMember sequence(const char* name, uint8_t type_id, uint32_t offset, size_t bound = 0,
                       const rosidl_message_type_support_t* nested = nullptr) {
  MessageMember member = scalar(name, type_id, offset);
  member.members_ = nested;
  member.is_array_ = true;
  member.array_size_ = bound;
  member.is_upper_bound_ = bound != 0;
  member.size_function = size_of<Container>;
  member.get_const_function = get_const<Container>;
  member.get_function = get<Container>;
  member.resize_function = resize<Container>;
  return member;
}

template <typename T>
const rosidl_message_type_support_t* handle_for(const MessageMembers* members) {
  static const rosidl_message_type_support_t handle = {introspection::typesupport_identifier,
                                                       members, nullptr};
  return &handle;
}

const rosidl_message_type_support_t* inner_type_support() {
  static const MessageMember members[] = {
      scalar("value", introspection::ROS_TYPE_INT16, offset_of(&Inner::value))};
  static const MessageMembers message = {"coverage::msg", "Inner",     1,          sizeof(Inner),
                                         members,         init<Inner>, fini<Inner>};
  return handle_for<Inner>(&message);
}

}  // namespace

const rosidl_message_type_support_t* coverage_type_support() {
  static const MessageMember members[] = {
      scalar("flag", introspection::ROS_TYPE_BOOLEAN, offset_of(&Coverage::flag)),
      scalar("ratio", introspection::ROS_TYPE_DOUBLE, offset_of(&Coverage::ratio)),
      {"bits", introspection::ROS_TYPE_BOOLEAN, 0, nullptr, true, 0, false,
       offset_of(&Coverage::bits), nullptr, size_of<std::vector<bool>>, nullptr, nullptr, fetch_bit,
       assign_bit, resize<std::vector<bool>>},
      {"triple", introspection::ROS_TYPE_UINT16, 0, nullptr, true, 3, false,
       offset_of(&Coverage::triple), nullptr, size_of<std::array<uint16_t, 3>>,
       get_const<std::array<uint16_t, 3>>, get<std::array<uint16_t, 3>>, nullptr, nullptr, nullptr},
      sequence<std::vector<int32_t>>("bounded", introspection::ROS_TYPE_INT32,
                                     offset_of(&Coverage::bounded), 2),
      sequence<std::vector<std::string>>("words", introspection::ROS_TYPE_STRING,
                                         offset_of(&Coverage::words)),
      sequence<std::vector<Inner>>("inners", introspection::ROS_TYPE_MESSAGE,
                                   offset_of(&Coverage::inners), 0, inner_type_support()),
      {"short_text", introspection::ROS_TYPE_STRING, 4, nullptr, false, 0, false,
       offset_of(&Coverage::short_text), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
       nullptr},
  };
  static const MessageMembers message = {
      "coverage::msg",  "Coverage", sizeof(members) / sizeof(members[0]),
      sizeof(Coverage), members,    init<Coverage>,
      fini<Coverage>};
  return handle_for<Coverage>(&message);
}

const rosidl_message_type_support_t* empty_type_support() {
  static const MessageMembers message = {"coverage::msg", "Empty",     0,          sizeof(Empty),
                                         nullptr,         init<Empty>, fini<Empty>};
  return handle_for<Empty>(&message);
}

}  // namespace coverage
