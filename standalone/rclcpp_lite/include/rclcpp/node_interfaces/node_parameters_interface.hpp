// The parameter part of a node, as rclcpp/node_interfaces/node_parameters_interface.hpp (Humble)
// has it, reduced to declaring, reading and the overrides map.
#ifndef RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_INTERFACE_HPP_
#define RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_INTERFACE_HPP_

#include <map>
#include <string>

#include "rcl_interfaces/msg/parameter_descriptor.hpp"
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

  virtual Parameter get_parameter(const std::string& name) const = 0;

  virtual bool get_parameter(const std::string& name, Parameter& parameter) const = 0;

  /// Every override given for this node, declared or not.
  virtual const std::map<std::string, ParameterValue>& get_parameter_overrides() const = 0;
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_INTERFACE_HPP_
