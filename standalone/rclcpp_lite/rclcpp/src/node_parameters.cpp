#include "rclcpp/node_interfaces/node_parameters.hpp"

#include <algorithm>
#include <utility>

#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rclcpp/exceptions.hpp"

namespace rclcpp {
namespace node_interfaces {

namespace {

std::string wrong_type(const std::string& name, ParameterType declared, ParameterType given) {
  return "Wrong parameter type, parameter {" + name + "} is of type {" + to_string(declared) +
         "}, setting it to {" + to_string(given) + "} is not allowed.";
}

/// Whether `tail` (a name, or what follows a prefix) has fewer than `depth` "." (0: any number).
bool shallow_enough(const std::string& tail, uint64_t depth) {
  return depth == rcl_interfaces::srv::ListParameters::Request::DEPTH_RECURSIVE ||
         static_cast<uint64_t>(std::count(tail.begin(), tail.end(), '.')) < depth;
}

/// Whether list_parameters lists `name`: with no prefixes, if it is shallow enough; otherwise if
/// it is one of the prefixes or shallow enough below one.
bool listed(const std::string& name, const std::vector<std::string>& prefixes, uint64_t depth) {
  if (prefixes.empty()) {
    return shallow_enough(name, depth);
  }
  return std::any_of(prefixes.begin(), prefixes.end(), [&](const std::string& prefix) {
    return name == prefix || (name.compare(0, prefix.size() + 1, prefix + ".") == 0 &&
                              shallow_enough(name.substr(prefix.size()), depth));
  });
}

}  // namespace

NodeParameters::NodeParameters(std::map<std::string, ParameterValue> parameter_overrides,
                               std::shared_ptr<EventsPublisher> events_publisher,
                               Clock::SharedPtr clock, const std::string& node_fully_qualified_name)
    : parameter_overrides_(std::move(parameter_overrides)),
      events_publisher_(std::move(events_publisher)),
      clock_(std::move(clock)),
      node_fully_qualified_name_(node_fully_qualified_name) {}

const ParameterValue& NodeParameters::declare_parameter(
    const std::string& name, const ParameterValue& default_value,
    const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (parameters_.count(name) != 0) {
    throw exceptions::ParameterAlreadyDeclaredException("parameter '" + name +
                                                        "' has already been declared");
  }
  ParameterInfo info{default_value, parameter_descriptor};
  info.descriptor.name = name;
  info.descriptor.type = default_value.get_type();
  if (default_value.get_type() == PARAMETER_NOT_SET) {
    throw exceptions::InvalidParameterTypeException(
        name, "cannot declare a statically typed parameter with an uninitialized value");
  }
  const auto override_it = parameter_overrides_.find(name);
  if (override_it != parameter_overrides_.end()) {
    info.value = override_it->second;
  }
  if (info.value.get_type() != default_value.get_type()) {
    throw exceptions::InvalidParameterTypeException(
        name, wrong_type(name, default_value.get_type(), info.value.get_type()));
  }
  rcl_interfaces::msg::ParameterEvent event;
  event.new_parameters.push_back(Parameter(name, info.value).to_parameter_msg());
  // std::map never moves its elements, so the reference stays valid after the lock is released.
  const ParameterValue& value = parameters_.emplace(name, std::move(info)).first->second.value;
  publish_event(event);
  return value;
}

rcl_interfaces::msg::SetParametersResult NodeParameters::set_parameters_atomically(
    const std::vector<Parameter>& parameters) {
  std::lock_guard<std::mutex> lock(mutex_);
  rcl_interfaces::msg::SetParametersResult result;
  for (const Parameter& parameter : parameters) {
    const auto declared = parameters_.find(parameter.get_name());
    if (declared == parameters_.end()) {
      throw exceptions::ParameterNotDeclaredException(
          "parameter '" + parameter.get_name() + "' cannot be set because it was not declared");
    }
    if (declared->second.descriptor.read_only) {
      result.reason =
          "parameter '" + parameter.get_name() + "' cannot be set because it is read-only";
      return result;
    }
  }
  for (const Parameter& parameter : parameters) {
    result.reason = rejection_reason(parameter.get_name(), parameter.get_parameter_value());
    if (!result.reason.empty()) {
      return result;
    }
  }
  rcl_interfaces::msg::ParameterEvent event;
  for (const Parameter& parameter : parameters) {
    parameters_.find(parameter.get_name())->second.value = parameter.get_parameter_value();
    event.changed_parameters.push_back(parameter.to_parameter_msg());
  }
  publish_event(event);
  result.successful = true;
  return result;
}

std::string NodeParameters::rejection_reason(const std::string& name,
                                             const ParameterValue& value) const {
  const ParameterType declared = find_declared(name).value.get_type();
  if (value.get_type() == PARAMETER_NOT_SET) {
    return "cannot undeclare an statically typed parameter";
  }
  return declared == value.get_type() ? "" : wrong_type(name, declared, value.get_type());
}

const NodeParameters::ParameterInfo& NodeParameters::find_declared(const std::string& name) const {
  const auto it = parameters_.find(name);
  if (it == parameters_.end()) {
    throw exceptions::ParameterNotDeclaredException(name);
  }
  return it->second;
}

bool NodeParameters::get_parameter(const std::string& name, Parameter& parameter) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = parameters_.find(name);
  if (it == parameters_.end()) {
    return false;
  }
  parameter = Parameter(name, it->second.value);
  return true;
}

std::vector<Parameter> NodeParameters::get_parameters(const std::vector<std::string>& names) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Parameter> found;
  for (const std::string& name : names) {
    found.emplace_back(name, find_declared(name).value);
  }
  return found;
}

std::vector<rcl_interfaces::msg::ParameterDescriptor> NodeParameters::describe_parameters(
    const std::vector<std::string>& names) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<rcl_interfaces::msg::ParameterDescriptor> found;
  for (const std::string& name : names) {
    found.push_back(find_declared(name).descriptor);
  }
  return found;
}

std::vector<uint8_t> NodeParameters::get_parameter_types(
    const std::vector<std::string>& names) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<uint8_t> found;
  for (const std::string& name : names) {
    found.push_back(find_declared(name).value.get_type());
  }
  return found;
}

rcl_interfaces::msg::ListParametersResult NodeParameters::list_parameters(
    const std::vector<std::string>& prefixes, uint64_t depth) const {
  std::lock_guard<std::mutex> lock(mutex_);
  rcl_interfaces::msg::ListParametersResult result;
  for (const auto& entry : parameters_) {
    const std::string& name = entry.first;
    if (!listed(name, prefixes, depth)) {
      continue;
    }
    result.names.push_back(name);
    const size_t last_separator = name.find_last_of('.');
    if (last_separator != std::string::npos) {
      const std::string prefix = name.substr(0, last_separator);
      if (std::find(result.prefixes.begin(), result.prefixes.end(), prefix) ==
          result.prefixes.end()) {
        result.prefixes.push_back(prefix);
      }
    }
  }
  return result;
}

void NodeParameters::publish_event(rcl_interfaces::msg::ParameterEvent& event) const {
  event.node = node_fully_qualified_name_;
  event.stamp = clock_->now();
  events_publisher_->publish(event);
}

}  // namespace node_interfaces
}  // namespace rclcpp
