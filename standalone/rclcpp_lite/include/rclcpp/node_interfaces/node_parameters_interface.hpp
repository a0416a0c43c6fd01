// The parameter part of a node, as rclcpp/node_interfaces/node_parameters_interface.hpp (Humble)
// has it, without the set-parameters callbacks.
#ifndef RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_INTERFACE_HPP_
#define RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_INTERFACE_HPP_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/list_parameters_result.hpp"
#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"

namespace rclcpp {
namespace node_interfaces {

class NodeParametersInterface {
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeParametersInterface)

  virtual ~NodeParametersInterface() = default;

  virtual const ParameterValue& declare_parameter(
      const std::string& name, const ParameterValue& default_value,
      const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor(),
      bool ignore_override = false) = 0;

  virtual const ParameterValue& declare_parameter(
      const std::string& name, ParameterType type,
      const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor(),
      bool ignore_override = false) = 0;

  virtual bool has_parameter(const std::string& name) const = 0;

  /// Each parameter set on its own, one result each.
  virtual std::vector<rcl_interfaces::msg::SetParametersResult> set_parameters(
      const std::vector<Parameter>& parameters) = 0;

  /// All of them or none. Throws ParameterNotDeclaredException for an undeclared one (unless
  /// undeclared parameters are allowed); a read-only parameter, a wrong type or a value out of
  /// range fail the result. A value of PARAMETER_NOT_SET undeclares a dynamically typed one.
  virtual rcl_interfaces::msg::SetParametersResult set_parameters_atomically(
      const std::vector<Parameter>& parameters) = 0;

  /// Throws ParameterNotDeclaredException for an undeclared name (unless undeclared parameters
  /// are allowed).
  virtual std::vector<Parameter> get_parameters(const std::vector<std::string>& names) const = 0;

  virtual Parameter get_parameter(const std::string& name) const = 0;

  virtual bool get_parameter(const std::string& name, Parameter& parameter) const = 0;

  /// Throws ParameterNotDeclaredException as get_parameters does.
  virtual std::vector<rcl_interfaces::msg::ParameterDescriptor> describe_parameters(
      const std::vector<std::string>& names) const = 0;

  /// Throws ParameterNotDeclaredException as get_parameters does.
  virtual std::vector<uint8_t> get_parameter_types(const std::vector<std::string>& names) const = 0;

  /// The parameters under any of the prefixes (all with none), down to `depth` levels of "."
  /// below them (0: any depth).
  virtual rcl_interfaces::msg::ListParametersResult list_parameters(
      const std::vector<std::string>& prefixes, uint64_t depth) const = 0;

  /// Every override given for this node, declared or not.
  virtual const std::map<std::string, ParameterValue>& get_parameter_overrides() const = 0;
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_INTERFACE_HPP_
