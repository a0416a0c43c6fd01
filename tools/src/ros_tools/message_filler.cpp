#include "ros_tools/message_filler.hpp"

#include <rosidl_typesupport_introspection_cpp/field_types.hpp>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace ros_tools {

namespace {

namespace types = rosidl_typesupport_introspection_cpp;

std::string Describe(const YamlValue& yaml) {
  if (yaml.kind() == YamlValue::Kind::kMap) return "a map";
  if (yaml.kind() == YamlValue::Kind::kSequence) return "a list";
  return "'" + yaml.scalar() + "'";
}

std::string FieldNames(const MessageFiller::Members* members) {
  std::string names;
  for (uint32_t i = 0; i < members->member_count_; ++i) {
    names += (i ? ", " : "") + std::string(members->members_[i].name_);
  }
  return names;
}

template <typename T>
void Store(void* field, T value) {
  *static_cast<T*>(field) = value;
}

// Stores sign and magnitude, already checked against T's range.
template <typename T>
void StoreInteger(void* field, bool negative, unsigned long long magnitude) {
  if (negative && magnitude != 0) {
    Store<T>(field, static_cast<T>(-static_cast<long long>(magnitude - 1) - 1));
  } else {
    Store<T>(field, static_cast<T>(magnitude));
  }
}

// An integer field type: its range, its name for messages and how to store into it.
struct IntegerType {
  long long min;
  unsigned long long max;
  const char* name;
  void (*store)(void* field, bool negative, unsigned long long magnitude);
};

std::optional<IntegerType> IntegerTypeOf(uint8_t type_id) {
  switch (type_id) {
    case types::ROS_TYPE_INT8:
      return IntegerType{INT8_MIN, INT8_MAX, "int8", StoreInteger<int8_t>};
    case types::ROS_TYPE_UINT8:
    case types::ROS_TYPE_OCTET:
    case types::ROS_TYPE_CHAR:
      return IntegerType{0, UINT8_MAX, "uint8", StoreInteger<uint8_t>};
    case types::ROS_TYPE_INT16:
      return IntegerType{INT16_MIN, INT16_MAX, "int16", StoreInteger<int16_t>};
    case types::ROS_TYPE_UINT16:
      return IntegerType{0, UINT16_MAX, "uint16", StoreInteger<uint16_t>};
    case types::ROS_TYPE_INT32:
      return IntegerType{INT32_MIN, INT32_MAX, "int32", StoreInteger<int32_t>};
    case types::ROS_TYPE_UINT32:
      return IntegerType{0, UINT32_MAX, "uint32", StoreInteger<uint32_t>};
    case types::ROS_TYPE_INT64:
      return IntegerType{INT64_MIN, INT64_MAX, "int64", StoreInteger<int64_t>};
    case types::ROS_TYPE_UINT64:
      return IntegerType{0, UINT64_MAX, "uint64", StoreInteger<uint64_t>};
    default:
      return std::nullopt;
  }
}

bool InRange(const IntegerType& type, bool negative, unsigned long long magnitude) {
  if (!negative) return magnitude <= type.max;
  if (type.min == 0) return magnitude == 0;
  return magnitude <= static_cast<unsigned long long>(-(type.min + 1)) + 1;
}

// Decimal or 0x-hexadecimal, with an optional sign; the whole text must be the number.
bool ParseInteger(const std::string& text, bool* negative, unsigned long long* magnitude) {
  std::size_t pos = 0;
  *negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    *negative = text[pos] == '-';
    ++pos;
  }
  int base = 10;
  if (text.compare(pos, 2, "0x") == 0 || text.compare(pos, 2, "0X") == 0) {
    base = 16;
    pos += 2;
  }
  if (pos >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[pos]))) return false;
  errno = 0;
  char* end = nullptr;
  *magnitude = std::strtoull(text.c_str() + pos, &end, base);
  return errno == 0 && *end == '\0';
}

}  // namespace

bool MessageFiller::FillMessage(const YamlValue& yaml, const Members* members, void* message,
                                const std::string& path, std::string* error) {
  if (yaml.kind() != YamlValue::Kind::kMap) {
    *error = (path.empty() ? std::string("the request") : "field '" + path + "'") +
             " must be a map like {name: value}, not " + Describe(yaml);
    return false;
  }
  for (const auto& [name, value] : yaml.entries()) {
    const std::string field_path = path.empty() ? name : path + "." + name;
    const types::MessageMember* member = nullptr;
    for (uint32_t i = 0; i < members->member_count_ && !member; ++i) {
      if (name == members->members_[i].name_) member = &members->members_[i];
    }
    if (!member) {
      *error = "unknown field '" + field_path + "' (" +
               (path.empty() ? std::string("fields") : "fields of " + path) + ": " +
               FieldNames(members) + ")";
      return false;
    }
    void* field = static_cast<char*>(message) + member->offset_;
    if (!FillField(value, *member, field, field_path, error)) return false;
  }
  return true;
}

bool MessageFiller::FillField(const YamlValue& yaml, const types::MessageMember& member,
                              void* field, const std::string& path, std::string* error) {
  if (member.is_array_) {
    *error = "field '" + path + "': arrays are not supported";
    return false;
  }
  if (member.type_id_ == types::ROS_TYPE_MESSAGE) {
    return FillMessage(yaml, static_cast<const Members*>(member.members_->data), field, path,
                       error);
  }
  if (yaml.kind() != YamlValue::Kind::kScalar) {
    *error = "field '" + path + "' takes a single value, not " + Describe(yaml);
    return false;
  }
  switch (member.type_id_) {
    case types::ROS_TYPE_BOOLEAN:
      return FillBool(yaml, field, path, error);
    case types::ROS_TYPE_FLOAT:
    case types::ROS_TYPE_DOUBLE:
      return FillFloating(yaml, member.type_id_, field, path, error);
    case types::ROS_TYPE_STRING:
      Store<std::string>(field, yaml.scalar());
      return true;
    default:
      return FillInteger(yaml, member.type_id_, field, path, error);
  }
}

bool MessageFiller::FillInteger(const YamlValue& yaml, uint8_t type_id, void* field,
                                const std::string& path, std::string* error) {
  const auto type = IntegerTypeOf(type_id);
  if (!type) {
    *error = "field '" + path + "': this field type is not supported";
    return false;
  }
  bool negative = false;
  unsigned long long magnitude = 0;
  if (yaml.quoted() || !ParseInteger(yaml.scalar(), &negative, &magnitude)) {
    *error = "field '" + path + "': " + Describe(yaml) + " is not an integer (" + type->name + ")";
    return false;
  }
  if (!InRange(*type, negative, magnitude)) {
    *error = "field '" + path + "': " + yaml.scalar() + " is out of range for " + type->name;
    return false;
  }
  type->store(field, negative, magnitude);
  return true;
}

bool MessageFiller::FillFloating(const YamlValue& yaml, uint8_t type_id, void* field,
                                 const std::string& path, std::string* error) {
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(yaml.scalar().c_str(), &end);
  if (yaml.quoted() || yaml.scalar().empty() || *end != '\0' || errno != 0) {
    *error = "field '" + path + "': " + Describe(yaml) + " is not a number";
    return false;
  }
  if (type_id == types::ROS_TYPE_FLOAT) {
    Store<float>(field, static_cast<float>(value));
  } else {
    Store<double>(field, value);
  }
  return true;
}

bool MessageFiller::FillBool(const YamlValue& yaml, void* field, const std::string& path,
                             std::string* error) {
  const std::string& text = yaml.scalar();
  const bool is_true = text == "true" || text == "True" || text == "TRUE";
  const bool is_false = text == "false" || text == "False" || text == "FALSE";
  if (yaml.quoted() || (!is_true && !is_false)) {
    *error = "field '" + path + "': " + Describe(yaml) + " is not a boolean (true or false)";
    return false;
  }
  Store<bool>(field, is_true);
  return true;
}

}  // namespace ros_tools
