#include "rclcpp/detail/parameter_overrides.hpp"

#include <algorithm>

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

/// Whether the key tokens from `k` on match the name tokens from `n` on: "*" matches one token,
/// "**" any number, any other token itself.
bool tokens_match(const std::vector<std::string>& key, size_t k,
                  const std::vector<std::string>& name, size_t n) {
  if (k == key.size()) {
    return n == name.size();
  }
  if (key[k] == "**") {
    for (size_t skipped = n; skipped <= name.size(); ++skipped) {
      if (tokens_match(key, k + 1, name, skipped)) {
        return true;
      }
    }
    return false;
  }
  return n < name.size() && (key[k] == "*" || key[k] == name[n]) &&
         tokens_match(key, k + 1, name, n + 1);
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
    if (!tokens_match(split_tokens(node.node_key), 0, split_tokens(node_fqn), 0)) {
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
