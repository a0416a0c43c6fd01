// rclcpp::Parameter: a named ParameterValue, as in rclcpp/parameter.hpp (Humble).
#ifndef RCLCPP__PARAMETER_HPP_
#define RCLCPP__PARAMETER_HPP_

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "rcl_interfaces/msg/parameter.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/parameter_value.hpp"

namespace rclcpp {

class Parameter;

namespace detail {

template <typename T>
decltype(auto) get_value_helper(const Parameter* parameter);

}  // namespace detail

class Parameter {
public:
  Parameter() = default;
  explicit Parameter(const std::string& name) : name_(name) {}
  Parameter(const std::string& name, const ParameterValue& value) : name_(name), value_(value) {}

  template <typename ValueTypeT>
  Parameter(const std::string& name, ValueTypeT value) : Parameter(name, ParameterValue(value)) {}

  bool operator==(const Parameter& rhs) const { return name_ == rhs.name_ && value_ == rhs.value_; }
  bool operator!=(const Parameter& rhs) const { return !(*this == rhs); }

  ParameterType get_type() const { return value_.get_type(); }
  std::string get_type_name() const { return rclcpp::to_string(get_type()); }
  const std::string& get_name() const { return name_; }
  const ParameterValue& get_parameter_value() const { return value_; }

  /// Throws rclcpp::exceptions::InvalidParameterTypeException on a type mismatch.
  template <ParameterType ParamT>
  decltype(auto) get_value() const {
    try {
      return value_.get<ParamT>();
    } catch (const ParameterTypeException& ex) {
      throw exceptions::InvalidParameterTypeException(name_, ex.what());
    }
  }

  /// Throws rclcpp::exceptions::InvalidParameterTypeException on a type mismatch.
  template <typename T>
  decltype(auto) get_value() const {
    try {
      return detail::get_value_helper<T>(this);
    } catch (const ParameterTypeException& ex) {
      throw exceptions::InvalidParameterTypeException(name_, ex.what());
    }
  }

  // These throw rclcpp::ParameterTypeException on a type mismatch.
  bool as_bool() const { return value_.get<PARAMETER_BOOL>(); }
  int64_t as_int() const { return value_.get<PARAMETER_INTEGER>(); }
  double as_double() const { return value_.get<PARAMETER_DOUBLE>(); }
  const std::string& as_string() const { return value_.get<PARAMETER_STRING>(); }
  const std::vector<uint8_t>& as_byte_array() const { return value_.get<PARAMETER_BYTE_ARRAY>(); }
  const std::vector<bool>& as_bool_array() const { return value_.get<PARAMETER_BOOL_ARRAY>(); }
  const std::vector<int64_t>& as_integer_array() const {
    return value_.get<PARAMETER_INTEGER_ARRAY>();
  }
  const std::vector<double>& as_double_array() const {
    return value_.get<PARAMETER_DOUBLE_ARRAY>();
  }
  const std::vector<std::string>& as_string_array() const {
    return value_.get<PARAMETER_STRING_ARRAY>();
  }

  std::string value_to_string() const { return rclcpp::to_string(value_); }

  /// Throws std::runtime_error for a type code that names no parameter type.
  static Parameter from_parameter_msg(const rcl_interfaces::msg::Parameter& parameter) {
    return Parameter(parameter.name, ParameterValue(parameter.value));
  }
  rcl_interfaces::msg::Parameter to_parameter_msg() const {
    rcl_interfaces::msg::Parameter parameter;
    parameter.name = name_;
    parameter.value = value_.to_value_msg();
    return parameter;
  }
  rcl_interfaces::msg::ParameterValue get_value_message() const { return value_.to_value_msg(); }

private:
  std::string name_;
  ParameterValue value_;
};

namespace detail {

template <typename T>
decltype(auto) get_value_helper(const Parameter* parameter) {
  if constexpr (std::is_same<T, ParameterValue>::value) {
    return parameter->get_parameter_value();
  } else if constexpr (std::is_same<T, Parameter>::value) {
    return *parameter;
  } else {
    return parameter->get_parameter_value().get<T>();
  }
}

}  // namespace detail

}  // namespace rclcpp

#endif  // RCLCPP__PARAMETER_HPP_
