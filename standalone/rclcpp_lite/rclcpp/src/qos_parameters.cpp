#include "qos_parameters.hpp"

#include <stdexcept>
#include <utility>
#include <vector>

namespace rclcpp {
namespace detail {

namespace {

enum class Policy { depth, durability, history, reliability };

struct PolicyName {
  Policy policy;
  const char* name;
};

constexpr PolicyName kPolicies[] = {{Policy::depth, "depth"},
                                    {Policy::durability, "durability"},
                                    {Policy::history, "history"},
                                    {Policy::reliability, "reliability"}};

/// rmw's names of the policy values.
template <typename Value>
using ValueNames = std::vector<std::pair<Value, const char*>>;

const ValueNames<rmw_qos_durability_policy_t> kDurabilities{
    {RMW_QOS_POLICY_DURABILITY_SYSTEM_DEFAULT, "system_default"},
    {RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL, "transient_local"},
    {RMW_QOS_POLICY_DURABILITY_VOLATILE, "volatile"}};
const ValueNames<rmw_qos_history_policy_t> kHistories{
    {RMW_QOS_POLICY_HISTORY_SYSTEM_DEFAULT, "system_default"},
    {RMW_QOS_POLICY_HISTORY_KEEP_LAST, "keep_last"},
    {RMW_QOS_POLICY_HISTORY_KEEP_ALL, "keep_all"}};
const ValueNames<rmw_qos_reliability_policy_t> kReliabilities{
    {RMW_QOS_POLICY_RELIABILITY_SYSTEM_DEFAULT, "system_default"},
    {RMW_QOS_POLICY_RELIABILITY_RELIABLE, "reliable"},
    {RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT, "best_effort"}};

template <typename Value>
std::string name_of(const ValueNames<Value>& names, Value value) {
  for (const auto& [known, name] : names) {
    if (known == value) {
      return name;
    }
  }
  return "unknown";
}

template <typename Value>
Value value_of(const ValueNames<Value>& names, const char* kind, const ParameterValue& parameter) {
  const std::string& text = parameter.get<std::string>();
  for (const auto& [value, name] : names) {
    if (text == name) {
      return value;
    }
  }
  throw std::invalid_argument(std::string("unknown QoS policy ") + kind + " value: " + text);
}

std::string parameter_name(const std::string& topic, const char* policy) {
  return "qos_overrides." + topic + ".publisher." + policy;
}

ParameterValue value_in(const QoS& qos, Policy policy) {
  const rmw_qos_profile_t& profile = qos.get_rmw_qos_profile();
  switch (policy) {
    case Policy::depth:
      return ParameterValue(static_cast<int64_t>(profile.depth));
    case Policy::durability:
      return ParameterValue(name_of(kDurabilities, profile.durability));
    case Policy::history:
      return ParameterValue(name_of(kHistories, profile.history));
    case Policy::reliability:
      return ParameterValue(name_of(kReliabilities, profile.reliability));
  }
  return ParameterValue();
}

void apply(Policy policy, const ParameterValue& value, QoS& qos) {
  rmw_qos_profile_t& profile = qos.get_rmw_qos_profile();
  switch (policy) {
    case Policy::depth:
      profile.depth = static_cast<size_t>(value.get<int64_t>());
      break;
    case Policy::durability:
      profile.durability = value_of(kDurabilities, "durability", value);
      break;
    case Policy::history:
      profile.history = value_of(kHistories, "history", value);
      break;
    case Policy::reliability:
      profile.reliability = value_of(kReliabilities, "reliability", value);
      break;
  }
}

}  // namespace

QoS publisher_qos_with_overrides(const std::string& topic, QoS qos,
                                 const std::map<std::string, ParameterValue>& overrides) {
  for (const PolicyName& entry : kPolicies) {
    const auto found = overrides.find(parameter_name(topic, entry.name));
    if (found != overrides.end()) {
      apply(entry.policy, found->second, qos);
    }
  }
  return qos;
}

void declare_publisher_qos_parameters(node_interfaces::NodeParameters& parameters,
                                      const std::string& topic, const QoS& qos) {
  for (const PolicyName& entry : kPolicies) {
    const std::string name = parameter_name(topic, entry.name);
    rcl_interfaces::msg::ParameterDescriptor descriptor;
    descriptor.description =
        std::string("qos policy {") + entry.name + "} for publisher {" + topic + "}";
    descriptor.read_only = true;
    parameters.declare_parameter(name, value_in(qos, entry.policy), descriptor);
  }
}

}  // namespace detail
}  // namespace rclcpp
