#include "rclcpp/detail/parameter_overrides.hpp"

#include <algorithm>
#include <cctype>
#include <regex>

namespace rclcpp {
namespace detail {

namespace {

/// "/**" becomes "(/\w+)*" and "/*" becomes "(/\w+)"; every other character matches itself.
std::regex node_key_pattern(const std::string& node_key) {
  const std::string absolute = node_key.empty() || node_key[0] != '/' ? "/" + node_key : node_key;
  std::string pattern;
  for (size_t i = 0; i < absolute.size(); ++i) {
    if (absolute.compare(i, 3, "/**") == 0) {
      pattern += "(/\\w+)*";
      i += 2;
    } else if (absolute.compare(i, 2, "/*") == 0) {
      pattern += "(/\\w+)";
      i += 1;
    } else if (std::isalnum(static_cast<unsigned char>(absolute[i])) || absolute[i] == '_' ||
               absolute[i] == '/') {
      pattern += absolute[i];
    } else {
      pattern += std::string("\\") + absolute[i];
    }
  }
  return std::regex(pattern);
}

}  // namespace

void ParameterOverrides::set(const std::string& node_key, const std::string& name,
                             const ParameterValue& value) {
  auto node = std::find_if(nodes_.begin(), nodes_.end(), [&](const NodeEntries& entries) {
    return entries.node_key == node_key;
  });
  if (node == nodes_.end()) {
    node = nodes_.insert(nodes_.end(), NodeEntries{node_key, {}});
  }
  auto entry = std::find_if(node->values.begin(), node->values.end(),
                            [&](const auto& named_value) { return named_value.first == name; });
  if (entry == node->values.end()) {
    node->values.emplace_back(name, value);
  } else {
    entry->second = value;
  }
}

std::map<std::string, ParameterValue> ParameterOverrides::resolve(
    const std::string& node_fqn) const {
  std::map<std::string, ParameterValue> result;
  for (const auto& node : nodes_) {
    if (!std::regex_match(node_fqn, node_key_pattern(node.node_key))) {
      continue;
    }
    for (const auto& named_value : node.values) {
      result[named_value.first] = named_value.second;
    }
  }
  return result;
}

}  // namespace detail
}  // namespace rclcpp
