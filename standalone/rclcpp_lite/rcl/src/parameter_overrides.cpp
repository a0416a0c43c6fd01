#include "rclcpp/detail/parameter_overrides.hpp"

#include <algorithm>
#include <utility>

namespace rclcpp {
namespace detail {

namespace {

std::vector<std::string> split_tokens(const std::string& name) {
  std::vector<std::string> tokens;
  size_t start = 0;
  while (start <= name.size()) {
    const size_t end = std::min(name.find('/', start), name.size());
    if (end > start) {
      tokens.push_back(name.substr(start, end - start));
    }
    start = end + 1;
  }
  return tokens;
}

/// Whether the key tokens match the name tokens: "*" matches one token, "**" any number, any
/// other token itself. Dynamic programming over token positions, so that keys with many "**"
/// take quadratic time, not exponential.
bool tokens_match(const std::vector<std::string>& key, const std::vector<std::string>& name) {
  // matches[n]: whether the key tokens seen so far match the first n name tokens.
  std::vector<bool> matches(name.size() + 1, false);
  matches[0] = true;
  for (const std::string& token : key) {
    std::vector<bool> next(name.size() + 1, false);
    for (size_t n = 0; n <= name.size(); ++n) {
      if (token == "**") {
        next[n] = matches[n] || (n > 0 && next[n - 1]);
      } else if (n > 0) {
        next[n] = matches[n - 1] && (token == "*" || token == name[n - 1]);
      }
    }
    matches = std::move(next);
  }
  return matches[name.size()];
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
    if (!tokens_match(split_tokens(node.node_key), split_tokens(node_fqn))) {
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
