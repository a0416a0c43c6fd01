// rclcpp::NodeOptions as in rclcpp/node_options.hpp (Humble), with the options this subset
// honours.
#ifndef RCLCPP__NODE_OPTIONS_HPP_
#define RCLCPP__NODE_OPTIONS_HPP_

#include <string>
#include <vector>

#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/parameter.hpp"

namespace rclcpp {

class NodeOptions {
public:
  NodeOptions() : context_(contexts::get_global_default_context()) {}

  rclcpp::Context::SharedPtr context() const { return context_; }
  NodeOptions& context(rclcpp::Context::SharedPtr context) {
    context_ = context;
    return *this;
  }

  /// The node's own command line; ROS arguments count only after "--ros-args", as for init.
  const std::vector<std::string>& arguments() const { return arguments_; }
  NodeOptions& arguments(const std::vector<std::string>& arguments) {
    arguments_ = arguments;
    return *this;
  }

  /// Overrides that take precedence over those of every command line.
  std::vector<rclcpp::Parameter>& parameter_overrides() { return parameter_overrides_; }
  const std::vector<rclcpp::Parameter>& parameter_overrides() const { return parameter_overrides_; }
  NodeOptions& parameter_overrides(const std::vector<rclcpp::Parameter>& parameter_overrides) {
    parameter_overrides_ = parameter_overrides;
    return *this;
  }
  template <typename ParameterT>
  NodeOptions& append_parameter_override(const std::string& name, const ParameterT& value) {
    parameter_overrides_.emplace_back(name, rclcpp::ParameterValue(value));
    return *this;
  }

  /// Whether the arguments given to rclcpp::init apply to this node.
  bool use_global_arguments() const { return use_global_arguments_; }
  NodeOptions& use_global_arguments(bool use_global_arguments) {
    use_global_arguments_ = use_global_arguments;
    return *this;
  }

  /// Whether the node publishes its logger's lines on /rosout (unless --disable-rosout-logs).
  bool enable_rosout() const { return enable_rosout_; }
  NodeOptions& enable_rosout(bool enable_rosout) {
    enable_rosout_ = enable_rosout;
    return *this;
  }

  /// Whether the node serves its parameters (<node>/get_parameters and the others).
  bool start_parameter_services() const { return start_parameter_services_; }
  NodeOptions& start_parameter_services(bool start_parameter_services) {
    start_parameter_services_ = start_parameter_services;
    return *this;
  }

  /// Whether the node publishes its parameter changes on /parameter_events.
  bool start_parameter_event_publisher() const { return start_parameter_event_publisher_; }
  NodeOptions& start_parameter_event_publisher(bool start_parameter_event_publisher) {
    start_parameter_event_publisher_ = start_parameter_event_publisher;
    return *this;
  }

  bool allow_undeclared_parameters() const { return allow_undeclared_parameters_; }
  NodeOptions& allow_undeclared_parameters(bool allow_undeclared_parameters) {
    allow_undeclared_parameters_ = allow_undeclared_parameters;
    return *this;
  }

  bool automatically_declare_parameters_from_overrides() const {
    return automatically_declare_parameters_from_overrides_;
  }
  NodeOptions& automatically_declare_parameters_from_overrides(bool declare) {
    automatically_declare_parameters_from_overrides_ = declare;
    return *this;
  }

private:
  rclcpp::Context::SharedPtr context_;
  std::vector<std::string> arguments_;
  std::vector<rclcpp::Parameter> parameter_overrides_;
  bool use_global_arguments_ = true;
  bool enable_rosout_ = true;
  bool start_parameter_services_ = true;
  bool start_parameter_event_publisher_ = true;
  bool allow_undeclared_parameters_ = false;
  bool automatically_declare_parameters_from_overrides_ = false;
};

}  // namespace rclcpp

#endif  // RCLCPP__NODE_OPTIONS_HPP_
