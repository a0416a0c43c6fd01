// rclcpp::ParameterValue and rclcpp::ParameterType as in rclcpp/parameter_value.hpp (Humble).
#ifndef RCLCPP__PARAMETER_VALUE_HPP_
#define RCLCPP__PARAMETER_VALUE_HPP_

#include <cstdint>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "rcl_interfaces/msg/parameter_type.hpp"
#include "rcl_interfaces/msg/parameter_value.hpp"

namespace rclcpp {

enum ParameterType : uint8_t {
  PARAMETER_NOT_SET = rcl_interfaces::msg::ParameterType::PARAMETER_NOT_SET,
  PARAMETER_BOOL = rcl_interfaces::msg::ParameterType::PARAMETER_BOOL,
  PARAMETER_INTEGER = rcl_interfaces::msg::ParameterType::PARAMETER_INTEGER,
  PARAMETER_DOUBLE = rcl_interfaces::msg::ParameterType::PARAMETER_DOUBLE,
  PARAMETER_STRING = rcl_interfaces::msg::ParameterType::PARAMETER_STRING,
  PARAMETER_BYTE_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_BYTE_ARRAY,
  PARAMETER_BOOL_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_BOOL_ARRAY,
  PARAMETER_INTEGER_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_INTEGER_ARRAY,
  PARAMETER_DOUBLE_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_DOUBLE_ARRAY,
  PARAMETER_STRING_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_STRING_ARRAY,
};

/// "not set", "bool", "integer", "double", "string", "byte_array", ... "string_array".
std::string to_string(ParameterType type);

/// A value read as another type than the one it holds.
class ParameterTypeException : public std::runtime_error {
public:
  ParameterTypeException(ParameterType expected, ParameterType actual)
      : std::runtime_error("expected [" + rclcpp::to_string(expected) + "] got [" +
                           rclcpp::to_string(actual) + "]") {}
};

/// One parameter value of any of the ROS parameter types, or none (PARAMETER_NOT_SET), kept in
/// its message form as rclcpp keeps it.
class ParameterValue {
public:
  ParameterValue() = default;
  /// Throws std::runtime_error for a type code that names no parameter type.
  explicit ParameterValue(const rcl_interfaces::msg::ParameterValue& value);
  explicit ParameterValue(const bool bool_value);
  explicit ParameterValue(const int int_value);
  explicit ParameterValue(const int64_t int_value);
  explicit ParameterValue(const double double_value);
  explicit ParameterValue(const std::string& string_value);
  explicit ParameterValue(const char* string_value);
  explicit ParameterValue(const std::vector<bool>& bool_array_value);
  explicit ParameterValue(const std::vector<int64_t>& int_array_value);
  explicit ParameterValue(const std::vector<double>& double_array_value);
  explicit ParameterValue(const std::vector<std::string>& string_array_value);

  ParameterType get_type() const { return static_cast<ParameterType>(value_.type); }
  rcl_interfaces::msg::ParameterValue to_value_msg() const { return value_; }

  bool operator==(const ParameterValue& rhs) const { return value_ == rhs.value_; }

  /// The value by ParameterType; throws ParameterTypeException on a type mismatch.
  template <ParameterType type>
  const auto& get() const {
    static_assert(type != PARAMETER_NOT_SET, "no value of type PARAMETER_NOT_SET");
    if (get_type() != type) {
      throw ParameterTypeException(type, get_type());
    }
    return value_.*std::get<type - 1>(kValueMembers);
  }

  /// The value by C++ type: integral types read as int64_t, floating point as double, anything
  /// convertible to a string as std::string, vectors as the array of their element's type.
  template <typename type>
  decltype(auto) get() const {
    if constexpr (std::is_same<type, bool>::value) {
      return get<PARAMETER_BOOL>();
    } else if constexpr (std::is_integral<type>::value) {
      return get<PARAMETER_INTEGER>();
    } else if constexpr (std::is_floating_point<type>::value) {
      return get<PARAMETER_DOUBLE>();
    } else if constexpr (std::is_convertible<type, std::string>::value) {
      return get<PARAMETER_STRING>();
    } else if constexpr (std::is_same<type, std::vector<uint8_t>>::value) {
      return get<PARAMETER_BYTE_ARRAY>();
    } else if constexpr (std::is_same<type, std::vector<bool>>::value) {
      return get<PARAMETER_BOOL_ARRAY>();
    } else if constexpr (std::is_same<type, std::vector<int64_t>>::value) {
      return get<PARAMETER_INTEGER_ARRAY>();
    } else if constexpr (std::is_same<type, std::vector<double>>::value) {
      return get<PARAMETER_DOUBLE_ARRAY>();
    } else {
      static_assert(std::is_same<type, std::vector<std::string>>::value, "no parameter type");
      return get<PARAMETER_STRING_ARRAY>();
    }
  }

private:
  using Message = rcl_interfaces::msg::ParameterValue;
  /// The message's value members in the order of the types, PARAMETER_BOOL first.
  static constexpr auto kValueMembers = std::make_tuple(
      &Message::bool_value, &Message::integer_value, &Message::double_value, &Message::string_value,
      &Message::byte_array_value, &Message::bool_array_value, &Message::integer_array_value,
      &Message::double_array_value, &Message::string_array_value);

  Message value_;
};
/// The value as text: "true", "42", "1.500000", the string itself, or "[a, b]" for arrays.
std::string to_string(const ParameterValue& value);

}  // namespace rclcpp

#endif  // RCLCPP__PARAMETER_VALUE_HPP_
