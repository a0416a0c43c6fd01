// Parameter overrides from the command line and parameter files, kept per node key in the order
// rcl keeps them, and resolved for one node.
#ifndef RCLCPP__DETAIL__PARAMETER_OVERRIDES_HPP_
#define RCLCPP__DETAIL__PARAMETER_OVERRIDES_HPP_

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/parameter_value.hpp"

namespace rclcpp {
namespace detail {

class ParameterOverrides {
public:
  /// node_key is a node name as written by the user: "talker", "/ns/talker", "/**", "/*/talker".
  /// Setting a name again under the same key replaces the value in place.
  void set(const std::string& node_key, const std::string& name, const ParameterValue& value);

  /// The values for the node with that fully qualified name: node keys are taken in the order they
  /// first appeared, each made absolute, with "/*" matching one and "/**" any number of namespace
  /// tokens; a later matching key overwrites an earlier one.
  std::map<std::string, ParameterValue> resolve(const std::string& node_fqn) const;

  bool empty() const { return nodes_.empty(); }

private:
  struct NodeEntries {
    std::string node_key;
    std::vector<std::pair<std::string, ParameterValue>> values;
  };

  std::vector<NodeEntries> nodes_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__PARAMETER_OVERRIDES_HPP_
