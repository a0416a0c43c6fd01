// The parameters of one node, as rclcpp/node_interfaces/node_parameters.hpp (Humble) keeps them
// for a node that declares each with a default value and registers no set-parameters callbacks:
// declared values with their descriptors (statically typed), and the overrides the command line
// and parameter files gave for the node. Every declaration and change is published as a
// ParameterEvent.
#ifndef RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_HPP_
#define RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_HPP_

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/list_parameters_result.hpp"
#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rcl_interfaces/msg/parameter_event.hpp"
#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/publisher.hpp"

namespace rclcpp {
namespace node_interfaces {

class NodeParameters {
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeParameters)

  using EventsPublisher = rclcpp::Publisher<rcl_interfaces::msg::ParameterEvent>;

  /// Events name the node `node_fully_qualified_name` and carry the time of `clock`.
  NodeParameters(std::map<std::string, ParameterValue> parameter_overrides,
                 std::shared_ptr<EventsPublisher> events_publisher, Clock::SharedPtr clock,
                 const std::string& node_fully_qualified_name);

  /// The override's value if there is one, else `default_value`; the parameter's type is the
  /// default's. Throws ParameterAlreadyDeclaredException, and InvalidParameterTypeException for
  /// a default without a value or an override of another type.
  const ParameterValue& declare_parameter(
      const std::string& name, const ParameterValue& default_value,
      const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor());

  /// All of them or none. Throws ParameterNotDeclaredException for an undeclared one; a
  /// read-only parameter, a wrong type or an unset value fail the result.
  rcl_interfaces::msg::SetParametersResult set_parameters_atomically(
      const std::vector<Parameter>& parameters);

  /// False for an undeclared parameter.
  bool get_parameter(const std::string& name, Parameter& parameter) const;

  // These three throw ParameterNotDeclaredException for an undeclared name.
  std::vector<Parameter> get_parameters(const std::vector<std::string>& names) const;
  std::vector<rcl_interfaces::msg::ParameterDescriptor> describe_parameters(
      const std::vector<std::string>& names) const;
  std::vector<uint8_t> get_parameter_types(const std::vector<std::string>& names) const;

  /// The parameters under any of the prefixes (all with none), down to `depth` levels of "."
  /// below them (0: any depth).
  rcl_interfaces::msg::ListParametersResult list_parameters(
      const std::vector<std::string>& prefixes, uint64_t depth) const;

  /// Every override given for this node, declared or not.
  const std::map<std::string, ParameterValue>& get_parameter_overrides() const {
    return parameter_overrides_;
  }

private:
  struct ParameterInfo {
    ParameterValue value;
    rcl_interfaces::msg::ParameterDescriptor descriptor;
  };

  /// Why `value` may not become the value of the declared `name`; empty if it may. Call with
  /// mutex_ held.
  std::string rejection_reason(const std::string& name, const ParameterValue& value) const;
  /// Throws ParameterNotDeclaredException for an undeclared name. Call with mutex_ held.
  const ParameterInfo& find_declared(const std::string& name) const;
  /// Stamps and publishes the event. Call with mutex_ held, so events keep the order of changes.
  void publish_event(rcl_interfaces::msg::ParameterEvent& event) const;

  mutable std::mutex mutex_;
  std::map<std::string, ParameterInfo> parameters_;
  const std::map<std::string, ParameterValue> parameter_overrides_;
  const std::shared_ptr<EventsPublisher> events_publisher_;
  const Clock::SharedPtr clock_;
  const std::string node_fully_qualified_name_;
};

/// The parameters of a node as Node::get_node_parameters_interface() hands them out.
using NodeParametersInterface = NodeParameters;

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_HPP_
