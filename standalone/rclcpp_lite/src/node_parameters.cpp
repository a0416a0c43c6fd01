#include "rclcpp/node_interfaces/node_parameters.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>

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

}  // namespace

NodeParameters::NodeParameters(std::map<std::string, ParameterValue> parameter_overrides,
                               bool allow_undeclared_parameters,
                               bool automatically_declare_parameters_from_overrides)
    : parameter_overrides_(std::move(parameter_overrides)),
      allow_undeclared_(allow_undeclared_parameters) {
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
  if (info.value.get_type() != PARAMETER_NOT_SET) {
    const std::string reason = rejection_reason(name, info.descriptor, info.value);
    if (reason.rfind("Wrong parameter type", 0) == 0) {
      throw exceptions::InvalidParameterTypeException(name, reason);
    }
    if (!reason.empty()) {
      throw exceptions::InvalidParameterValueException("parameter '" + name +
                                                       "' could not be set: " + reason);
    }
  }
  // std::map never moves its elements, so the reference stays valid after the lock is released.
  return parameters_.emplace(name, std::move(info)).first->second.value;
}

bool NodeParameters::has_parameter(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return parameters_.count(name) != 0;
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

const std::map<std::string, ParameterValue>& NodeParameters::get_parameter_overrides() const {
  return parameter_overrides_;
}

}  // namespace node_interfaces
}  // namespace rclcpp
