// The parameters of one node: declared values with their descriptors, and the overrides the
// command line, parameter files and NodeOptions gave for it.
#ifndef RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_HPP_
#define RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_HPP_

#include <map>
#include <mutex>
#include <string>

#include "rclcpp/node_interfaces/node_parameters_interface.hpp"

namespace rclcpp {
namespace node_interfaces {

class NodeParameters : public NodeParametersInterface {
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeParameters)

  /// With automatically_declare_parameters_from_overrides, every override is declared at once,
  /// dynamically typed.
  NodeParameters(std::map<std::string, ParameterValue> parameter_overrides,
                 bool allow_undeclared_parameters,
                 bool automatically_declare_parameters_from_overrides);

  const ParameterValue& declare_parameter(
      const std::string& name, const ParameterValue& default_value,
      const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor(),
      bool ignore_override = false) override;

  const ParameterValue& declare_parameter(
      const std::string& name, ParameterType type,
      const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor(),
      bool ignore_override = false) override;

  bool has_parameter(const std::string& name) const override;
  Parameter get_parameter(const std::string& name) const override;
  bool get_parameter(const std::string& name, Parameter& parameter) const override;
  const std::map<std::string, ParameterValue>& get_parameter_overrides() const override;

private:
  struct ParameterInfo {
    ParameterValue value;
    rcl_interfaces::msg::ParameterDescriptor descriptor;
  };

  const ParameterValue& declare(const std::string& name, ParameterType type,
                                const ParameterValue& default_value,
                                const rcl_interfaces::msg::ParameterDescriptor& descriptor,
                                bool ignore_override);

  mutable std::mutex mutex_;
  std::map<std::string, ParameterInfo> parameters_;
  const std::map<std::string, ParameterValue> parameter_overrides_;
  const bool allow_undeclared_;
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_HPP_
