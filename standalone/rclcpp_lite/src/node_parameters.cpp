#include "rclcpp/node_interfaces/node_parameters.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rclcpp/exceptions.hpp"

namespace rclcpp {
namespace node_interfaces {

namespace {

bool doubles_equal(double x, double y) {
  constexpr double kUlp = 100.0;
  return std::abs(x - y) <= std::numeric_limits<double>::epsilon() * std::abs(x + y) * kUlp;
}

std::string range_violation(const std::string& name, const char* range_type) {
  return "Parameter {" + name + "} doesn't comply with " + range_type + " range.";
}

bool integer_in_range(int64_t value, const rcl_interfaces::msg::IntegerRange& range) {
  if (value == range.from_value || value == range.to_value) {
    return true;
  }
  if (value < range.from_value || value > range.to_value) {
    return false;
  }
  return range.step == 0 || static_cast<uint64_t>(value - range.from_value) % range.step == 0;
}

bool double_in_range(double value, const rcl_interfaces::msg::FloatingPointRange& range) {
  if (doubles_equal(value, range.from_value) || doubles_equal(value, range.to_value)) {
    return true;
  }
  if (value < range.from_value || value > range.to_value) {
    return false;
  }
  if (range.step == 0.0) {
    return true;
  }
  const double steps = std::round((value - range.from_value) / range.step);
  return doubles_equal(value, range.from_value + steps * range.step);
}

/// Why `value` may not become the value of the parameter `descriptor` describes; empty if it may.
std::string rejection_reason(const std::string& name,
                             const rcl_interfaces::msg::ParameterDescriptor& descriptor,
                             const ParameterValue& value) {
  const auto declared_type = static_cast<ParameterType>(descriptor.type);
  if (!descriptor.dynamic_typing && declared_type != value.get_type()) {
    return "Wrong parameter type, parameter {" + name + "} is of type {" +
           to_string(declared_type) + "}, setting it to {" + to_string(value.get_type()) +
           "} is not allowed.";
  }
  if (!descriptor.integer_range.empty() && value.get_type() == PARAMETER_INTEGER &&
      !integer_in_range(value.get<int64_t>(), descriptor.integer_range[0])) {
    return range_violation(name, "integer");
  }
  if (!descriptor.floating_point_range.empty() && value.get_type() == PARAMETER_DOUBLE &&
      !double_in_range(value.get<double>(), descriptor.floating_point_range[0])) {
    return range_violation(name, "floating point");
  }
  return "";
}

rcl_interfaces::msg::SetParametersResult result_of(const std::string& reason) {
  rcl_interfaces::msg::SetParametersResult result;
  result.successful = reason.empty();
  result.reason = reason;
  return result;
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
                               bool allow_undeclared_parameters,
                               bool automatically_declare_parameters_from_overrides,
                               std::shared_ptr<EventsPublisher> events_publisher,
                               Clock::SharedPtr clock, const std::string& node_fully_qualified_name)
    : parameter_overrides_(std::move(parameter_overrides)),
      allow_undeclared_(allow_undeclared_parameters),
      events_publisher_(std::move(events_publisher)),
      clock_(std::move(clock)),
      node_fully_qualified_name_(node_fully_qualified_name) {
  if (!automatically_declare_parameters_from_overrides) {
    return;
  }
  rcl_interfaces::msg::ParameterDescriptor descriptor;
  descriptor.dynamic_typing = true;
  for (const auto& [name, value] : parameter_overrides_) {
    if (!has_parameter(name)) {
      declare_parameter(name, value, descriptor, true);
    }
  }
}

const ParameterValue& NodeParameters::declare_parameter(
    const std::string& name, const ParameterValue& default_value,
    const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor, bool ignore_override) {
  return declare(name, PARAMETER_NOT_SET, default_value, parameter_descriptor, ignore_override);
}

const ParameterValue& NodeParameters::declare_parameter(
    const std::string& name, ParameterType type,
    const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor, bool ignore_override) {
  if (type == PARAMETER_NOT_SET) {
    throw std::invalid_argument(
        "declare_parameter(): the provided parameter type cannot be rclcpp::PARAMETER_NOT_SET");
  }
  if (parameter_descriptor.dynamic_typing) {
    throw std::invalid_argument(
        "declare_parameter(): cannot declare parameter of specific type and pass descriptor"
        "with `dynamic_typing=true`");
  }
  return declare(name, type, ParameterValue(), parameter_descriptor, ignore_override);
}

const ParameterValue& NodeParameters::declare(
    const std::string& name, ParameterType type, const ParameterValue& default_value,
    const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor, bool ignore_override) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (name.empty()) {
    throw exceptions::InvalidParametersException("parameter name must not be empty");
  }
  if (parameters_.count(name) != 0) {
    throw exceptions::ParameterAlreadyDeclaredException("parameter '" + name +
                                                        "' has already been declared");
  }
  ParameterInfo info{default_value, parameter_descriptor};
  info.descriptor.name = name;
  if (!info.descriptor.dynamic_typing) {
    const ParameterType declared_type = type == PARAMETER_NOT_SET ? default_value.get_type() : type;
    if (declared_type == PARAMETER_NOT_SET) {
      throw exceptions::InvalidParameterTypeException(
          name, "cannot declare a statically typed parameter with an uninitialized value");
    }
    info.descriptor.type = declared_type;
  }
  const auto override_it = parameter_overrides_.find(name);
  if (!ignore_override && override_it != parameter_overrides_.end()) {
    info.value = override_it->second;
  }
  rcl_interfaces::msg::ParameterEvent event;
  if (info.value.get_type() != PARAMETER_NOT_SET) {
    const std::string reason = rejection_reason(name, info.descriptor, info.value);
    if (reason.rfind("Wrong parameter type", 0) == 0) {
      throw exceptions::InvalidParameterTypeException(name, reason);
    }
    if (!reason.empty()) {
      throw exceptions::InvalidParameterValueException("parameter '" + name +
                                                       "' could not be set: " + reason);
    }
    event.new_parameters.push_back(Parameter(name, info.value).to_parameter_msg());
  }
  // std::map never moves its elements, so the reference stays valid after the lock is released.
  const ParameterValue& value = parameters_.emplace(name, std::move(info)).first->second.value;
  publish_event(event);
  return value;
}

bool NodeParameters::has_parameter(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return parameters_.count(name) != 0;
}

std::vector<rcl_interfaces::msg::SetParametersResult> NodeParameters::set_parameters(
    const std::vector<Parameter>& parameters) {
  std::vector<rcl_interfaces::msg::SetParametersResult> results;
  for (const Parameter& parameter : parameters) {
    results.push_back(set_parameters_atomically({parameter}));
  }
  return results;
}

rcl_interfaces::msg::SetParametersResult NodeParameters::set_parameters_atomically(
    const std::vector<Parameter>& parameters) {
  std::lock_guard<std::mutex> lock(mutex_);
  const rcl_interfaces::msg::SetParametersResult result = check_set(parameters);
  if (!result.successful) {
    return result;
  }
  rcl_interfaces::msg::ParameterEvent event;
  for (const Parameter& parameter : parameters) {
    const std::string& name = parameter.get_name();
    const auto declared = parameters_.find(name);
    const bool unset = parameter.get_type() == PARAMETER_NOT_SET;
    if (declared == parameters_.end()) {
      // Allowed undeclared: declared now, dynamically typed.
      ParameterInfo info{parameter.get_parameter_value(),
                         rcl_interfaces::msg::ParameterDescriptor()};
      info.descriptor.name = name;
      info.descriptor.type = parameter.get_type();
      info.descriptor.dynamic_typing = true;
      parameters_.emplace(name, std::move(info));
      if (!unset) {
        event.new_parameters.push_back(parameter.to_parameter_msg());
      }
    } else if (unset && declared->second.value.get_type() != PARAMETER_NOT_SET) {
      event.deleted_parameters.push_back(
          Parameter(name, declared->second.value).to_parameter_msg());
      parameters_.erase(declared);
    } else {
      declared->second.descriptor.type = parameter.get_type();
      declared->second.value = parameter.get_parameter_value();
      event.changed_parameters.push_back(parameter.to_parameter_msg());
    }
  }
  publish_event(event);
  return result;
}

rcl_interfaces::msg::SetParametersResult NodeParameters::check_set(
    const std::vector<Parameter>& parameters) const {
  for (const Parameter& parameter : parameters) {
    const std::string& name = parameter.get_name();
    if (name.empty()) {
      throw exceptions::InvalidParametersException("parameter name must not be empty");
    }
    const auto declared = parameters_.find(name);
    if (declared == parameters_.end() && !allow_undeclared_) {
      throw exceptions::ParameterNotDeclaredException(
          "parameter '" + name + "' cannot be set because it was not declared");
    }
    if (declared != parameters_.end() && declared->second.descriptor.read_only) {
      return result_of("parameter '" + name + "' cannot be set because it is read-only");
    }
  }
  for (const Parameter& parameter : parameters) {
    const auto declared = parameters_.find(parameter.get_name());
    if (declared == parameters_.end()) {
      continue;  // declared dynamically typed, without a range: any value fits
    }
    const rcl_interfaces::msg::ParameterDescriptor& descriptor = declared->second.descriptor;
    if (parameter.get_type() == PARAMETER_NOT_SET &&
        declared->second.value.get_type() != PARAMETER_NOT_SET && !descriptor.dynamic_typing) {
      return result_of("cannot undeclare an statically typed parameter");
    }
    const std::string reason =
        rejection_reason(parameter.get_name(), descriptor, parameter.get_parameter_value());
    if (!reason.empty()) {
      return result_of(reason);
    }
  }
  return result_of("");
}

const NodeParameters::ParameterInfo* NodeParameters::find_declared(const std::string& name) const {
  const auto it = parameters_.find(name);
  if (it != parameters_.end()) {
    return &it->second;
  }
  if (!allow_undeclared_) {
    throw exceptions::ParameterNotDeclaredException(name);
  }
  return nullptr;
}

std::vector<Parameter> NodeParameters::get_parameters(const std::vector<std::string>& names) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Parameter> found;
  for (const std::string& name : names) {
    const ParameterInfo* info = find_declared(name);
    found.emplace_back(name, info ? info->value : ParameterValue());
  }
  return found;
}

Parameter NodeParameters::get_parameter(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = parameters_.find(name);
  if (it != parameters_.end()) {
    if (it->second.value.get_type() != PARAMETER_NOT_SET || it->second.descriptor.dynamic_typing) {
      return Parameter(name, it->second.value);
    }
    throw exceptions::ParameterUninitializedException(name);
  }
  if (allow_undeclared_) {
    return Parameter();
  }
  throw exceptions::ParameterNotDeclaredException(name);
}

bool NodeParameters::get_parameter(const std::string& name, Parameter& parameter) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = parameters_.find(name);
  if (it == parameters_.end() || it->second.value.get_type() == PARAMETER_NOT_SET) {
    return false;
  }
  parameter = Parameter(name, it->second.value);
  return true;
}

std::vector<rcl_interfaces::msg::ParameterDescriptor> NodeParameters::describe_parameters(
    const std::vector<std::string>& names) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<rcl_interfaces::msg::ParameterDescriptor> found;
  for (const std::string& name : names) {
    const ParameterInfo* info = find_declared(name);
    found.push_back(info ? info->descriptor : rcl_interfaces::msg::ParameterDescriptor());
    found.back().name = name;
  }
  return found;
}

std::vector<uint8_t> NodeParameters::get_parameter_types(
    const std::vector<std::string>& names) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<uint8_t> found;
  for (const std::string& name : names) {
    const ParameterInfo* info = find_declared(name);
    found.push_back(info ? info->value.get_type() : PARAMETER_NOT_SET);
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

const std::map<std::string, ParameterValue>& NodeParameters::get_parameter_overrides() const {
  return parameter_overrides_;
}

void NodeParameters::publish_event(rcl_interfaces::msg::ParameterEvent& event) const {
  if (events_publisher_) {
    event.node = node_fully_qualified_name_;
    event.stamp = clock_->now();
    events_publisher_->publish(event);
  }
}

}  // namespace node_interfaces
}  // namespace rclcpp
