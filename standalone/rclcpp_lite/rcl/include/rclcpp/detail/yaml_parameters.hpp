// Parameter values and parameter files in the YAML dialect of rcl_yaml_param_parser.
#ifndef RCLCPP__DETAIL__YAML_PARAMETERS_HPP_
#define RCLCPP__DETAIL__YAML_PARAMETERS_HPP_

#include <string>

#include "rclcpp/detail/parameter_overrides.hpp"
#include "rclcpp/parameter_value.hpp"

namespace rclcpp {
namespace detail {

/// Types a value written in YAML, as a `-p name:=value` rule gives it. An unquoted scalar is a
/// bool (y/yes/true/on, n/no/false/off in their three spellings), else an integer (strtoll, base
/// 0: "0x1f" is hex, "017" octal), else a double, else a string; a quoted scalar is a string;
/// "[a, b]" is an array of one element type. Throws std::invalid_argument naming the problem.
ParameterValue parse_parameter_value(const std::string& yaml_text);

/// Adds the parameters of a ROS 2 parameter file to `overrides`:
///   node_name | /ns/node_name | /** | ns: {node_name: ...}:
///     ros__parameters:
///       name: value
///       group: {sub: value}        # -> "group.sub"
/// Throws std::invalid_argument naming the problem and its line.
void load_parameter_file(const std::string& path, ParameterOverrides& overrides);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__YAML_PARAMETERS_HPP_
