// The parameters of one node: declared values with their descriptors, and the overrides the
// command line, parameter files and NodeOptions gave for it. Every declaration and change is
// published as a ParameterEvent when the node has an events publisher.
#ifndef RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_HPP_
#define RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_HPP_

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/parameter_event.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/node_interfaces/node_parameters_interface.hpp"
#include "rclcpp/publisher.hpp"

namespace rclcpp {
namespace node_interfaces {

class NodeParameters : public NodeParametersInterface {
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeParameters)

  using EventsPublisher = rclcpp::Publisher<rcl_interfaces::msg::ParameterEvent>;

  /// With automatically_declare_parameters_from_overrides, every override is declared at once,
  /// dynamically typed. Events name the node `node_fully_qualified_name` and carry the time of
  /// `clock`; a null events_publisher publishes none.
  NodeParameters(std::map<std::string, ParameterValue> parameter_overrides,
                 bool allow_undeclared_parameters,
                 bool automatically_declare_parameters_from_overrides,
                 std::shared_ptr<EventsPublisher> events_publisher, Clock::SharedPtr clock,
                 const std::string& node_fully_qualified_name);

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
  std::vector<rcl_interfaces::msg::SetParametersResult> set_parameters(
      const std::vector<Parameter>& parameters) override;
  rcl_interfaces::msg::SetParametersResult set_parameters_atomically(
      const std::vector<Parameter>& parameters) override;
  std::vector<Parameter> get_parameters(const std::vector<std::string>& names) const override;
  Parameter get_parameter(const std::string& name) const override;
  bool get_parameter(const std::string& name, Parameter& parameter) const override;
  std::vector<rcl_interfaces::msg::ParameterDescriptor> describe_parameters(
      const std::vector<std::string>& names) const override;
  std::vector<uint8_t> get_parameter_types(const std::vector<std::string>& names) const override;
  rcl_interfaces::msg::ListParametersResult list_parameters(
      const std::vector<std::string>& prefixes, uint64_t depth) const override;
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
  /// Why the set would be refused; the result's reason. Call with mutex_ held.
  rcl_interfaces::msg::SetParametersResult check_set(
      const std::vector<Parameter>& parameters) const;
  /// The declared parameter; throws ParameterNotDeclaredException unless undeclared ones are
  /// allowed (then null). Call with mutex_ held.
  const ParameterInfo* find_declared(const std::string& name) const;
  /// Stamps and publishes the event. Call with mutex_ held, so events keep the order of changes.
  void publish_event(rcl_interfaces::msg::ParameterEvent& event) const;

  mutable std::mutex mutex_;
  std::map<std::string, ParameterInfo> parameters_;
  const std::map<std::string, ParameterValue> parameter_overrides_;
  const bool allow_undeclared_;
  const std::shared_ptr<EventsPublisher> events_publisher_;
  const Clock::SharedPtr clock_;
  const std::string node_fully_qualified_name_;
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_HPP_
