// rclcpp::ParameterValue and rclcpp::ParameterType as in rclcpp/parameter_value.hpp (Humble).
#ifndef RCLCPP__PARAMETER_VALUE_HPP_
#define RCLCPP__PARAMETER_VALUE_HPP_

#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>
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

std::ostream& operator<<(std::ostream& os, ParameterType type);

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
  explicit ParameterValue(const float double_value);
  explicit ParameterValue(const double double_value);
  explicit ParameterValue(const std::string& string_value);
  explicit ParameterValue(const char* string_value);
  explicit ParameterValue(const std::vector<uint8_t>& byte_array_value);
  explicit ParameterValue(const std::vector<bool>& bool_array_value);
  explicit ParameterValue(const std::vector<int>& int_array_value);
  explicit ParameterValue(const std::vector<int64_t>& int_array_value);
  explicit ParameterValue(const std::vector<float>& double_array_value);
  explicit ParameterValue(const std::vector<double>& double_array_value);
  explicit ParameterValue(const std::vector<std::string>& string_array_value);

  ParameterType get_type() const { return static_cast<ParameterType>(value_.type); }
  rcl_interfaces::msg::ParameterValue to_value_msg() const { return value_; }

  bool operator==(const ParameterValue& rhs) const { return value_ == rhs.value_; }
  bool operator!=(const ParameterValue& rhs) const { return !(*this == rhs); }

  // Access by ParameterType; throws ParameterTypeException on a type mismatch.
  template <ParameterType type>
  std::enable_if_t<type == PARAMETER_BOOL, const bool&> get() const {
    expect(type);
    return value_.bool_value;
  }
  template <ParameterType type>
  std::enable_if_t<type == PARAMETER_INTEGER, const int64_t&> get() const {
    expect(type);
    return value_.integer_value;
  }
  template <ParameterType type>
  std::enable_if_t<type == PARAMETER_DOUBLE, const double&> get() const {
    expect(type);
    return value_.double_value;
  }
  template <ParameterType type>
  std::enable_if_t<type == PARAMETER_STRING, const std::string&> get() const {
    expect(type);
    return value_.string_value;
  }
  template <ParameterType type>
  std::enable_if_t<type == PARAMETER_BYTE_ARRAY, const std::vector<uint8_t>&> get() const {
    expect(type);
    return value_.byte_array_value;
  }
  template <ParameterType type>
  std::enable_if_t<type == PARAMETER_BOOL_ARRAY, const std::vector<bool>&> get() const {
    expect(type);
    return value_.bool_array_value;
  }
  template <ParameterType type>
  std::enable_if_t<type == PARAMETER_INTEGER_ARRAY, const std::vector<int64_t>&> get() const {
    expect(type);
    return value_.integer_array_value;
  }
  template <ParameterType type>
  std::enable_if_t<type == PARAMETER_DOUBLE_ARRAY, const std::vector<double>&> get() const {
    expect(type);
    return value_.double_array_value;
  }
  template <ParameterType type>
  std::enable_if_t<type == PARAMETER_STRING_ARRAY, const std::vector<std::string>&> get() const {
    expect(type);
    return value_.string_array_value;
  }

  // Access by C++ type: integral types read as int64_t, floating point as double, and so on.
  template <typename type>
  std::enable_if_t<std::is_same<type, bool>::value, const bool&> get() const {
    return get<PARAMETER_BOOL>();
  }
  template <typename type>
  std::enable_if_t<std::is_integral<type>::value && !std::is_same<type, bool>::value,
                   const int64_t&>
  get() const {
    return get<PARAMETER_INTEGER>();
  }
  template <typename type>
  std::enable_if_t<std::is_floating_point<type>::value, const double&> get() const {
    return get<PARAMETER_DOUBLE>();
  }
  template <typename type>
  std::enable_if_t<std::is_convertible<type, std::string>::value, const std::string&> get() const {
    return get<PARAMETER_STRING>();
  }
  template <typename type>
  std::enable_if_t<std::is_convertible<type, const std::vector<uint8_t>&>::value,
                   const std::vector<uint8_t>&>
  get() const {
    return get<PARAMETER_BYTE_ARRAY>();
  }
  template <typename type>
  std::enable_if_t<std::is_convertible<type, const std::vector<bool>&>::value,
                   const std::vector<bool>&>
  get() const {
    return get<PARAMETER_BOOL_ARRAY>();
  }
  template <typename type>
  std::enable_if_t<std::is_convertible<type, const std::vector<int>&>::value ||
                       std::is_convertible<type, const std::vector<int64_t>&>::value,
                   const std::vector<int64_t>&>
  get() const {
    return get<PARAMETER_INTEGER_ARRAY>();
  }
  template <typename type>
  std::enable_if_t<std::is_convertible<type, const std::vector<float>&>::value ||
                       std::is_convertible<type, const std::vector<double>&>::value,
                   const std::vector<double>&>
  get() const {
    return get<PARAMETER_DOUBLE_ARRAY>();
  }
  template <typename type>
  std::enable_if_t<std::is_convertible<type, const std::vector<std::string>&>::value,
                   const std::vector<std::string>&>
  get() const {
    return get<PARAMETER_STRING_ARRAY>();
  }

private:
  void expect(ParameterType type) const {
    if (get_type() != type) {
      throw ParameterTypeException(type, get_type());
    }
  }

  rcl_interfaces::msg::ParameterValue value_;
};

/// The value as text: "true", "42", "1.500000", the string itself, or "[a, b]" for arrays.
std::string to_string(const ParameterValue& value);

}  // namespace rclcpp

#endif  // RCLCPP__PARAMETER_VALUE_HPP_
