// rclcpp::Parameter: a named ParameterValue, as in rclcpp/parameter.hpp (Humble).
#ifndef RCLCPP__PARAMETER_HPP_
#define RCLCPP__PARAMETER_HPP_

#include <string>
#include <type_traits>

#include "rcl_interfaces/msg/parameter.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/parameter_value.hpp"

namespace rclcpp {

class Parameter {
public:
  Parameter() = default;
  Parameter(const std::string& name, const ParameterValue& value) : name_(name), value_(value) {}

  ParameterType get_type() const { return value_.get_type(); }
  const std::string& get_name() const { return name_; }
  const ParameterValue& get_parameter_value() const { return value_; }

  /// Throws rclcpp::exceptions::InvalidParameterTypeException on a type mismatch.
  template <typename T>
  decltype(auto) get_value() const {
    try {
      if constexpr (std::is_same<T, ParameterValue>::value) {
        return value_;
      } else {
        return value_.get<T>();
      }
    } catch (const ParameterTypeException& ex) {
      throw exceptions::InvalidParameterTypeException(name_, ex.what());
    }
  }

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

}  // namespace rclcpp

#endif  // RCLCPP__PARAMETER_HPP_
