#include "rclcpp/detail/names.hpp"

#include <cctype>

#include "rclcpp/exceptions.hpp"

namespace rclcpp {
namespace detail {

namespace {

constexpr size_t kMaxNodeNameLength = 255;

bool is_digit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

/// The index of the first token (after a '/') that starts with a digit, or npos.
size_t token_starting_with_digit(const std::string& name) {
  for (size_t i = 0; i < name.size(); ++i) {
    if ((i == 0 || name[i - 1] == '/') && is_digit(name[i])) {
      return i;
    }
  }
  return std::string::npos;
}

[[noreturn]] void throw_invalid_name(bool is_service, const std::string& name, const char* reason,
                                     size_t index) {
  if (is_service) {
    throw exceptions::InvalidServiceNameError(name.c_str(), reason, index);
  }
  throw exceptions::InvalidTopicNameError(name.c_str(), reason, index);
}

void validate_unexpanded_name(const std::string& name, bool is_service) {
  if (name.empty()) {
    throw_invalid_name(is_service, name, "topic name must not be empty", 0);
  }
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (!is_name_character(c) && c != '/' && c != '~' && c != '{' && c != '}') {
      throw_invalid_name(is_service, name,
                         "topic name must not contain characters other than alphanumerics, '_', "
                         "'~', '{', or '}'",
                         i);
    }
    if (c == '~' && (i != 0 || (name.size() > 1 && name[1] != '/'))) {
      throw_invalid_name(is_service, name, "'~' must be first and followed by '/'", i);
    }
  }
  if (name.back() == '/') {
    throw_invalid_name(is_service, name, "topic name must not end with a forward slash",
                       name.size() - 1);
  }
}

void validate_expanded_name(const std::string& name, bool is_service) {
  const size_t repeated_slash = name.find("//");
  if (repeated_slash != std::string::npos) {
    throw_invalid_name(is_service, name, "topic name must not contain repeated '/'",
                       repeated_slash);
  }
  if (name.find_first_of("{}") != std::string::npos) {
    throw_invalid_name(is_service, name, "unknown substitution", name.find_first_of("{}"));
  }
  const size_t digit = token_starting_with_digit(name);
  if (digit != std::string::npos) {
    throw_invalid_name(is_service, name,
                       "topic name must not have a token that starts with a number", digit);
  }
}

void replace_all(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

/// Whether a rule written for `rule_node` (empty: any node) applies to `node_name`.
bool rule_applies_to(const RemapRule& rule, const std::string& node_name) {
  return rule.node_name.empty() || rule.node_name == node_name;
}

}  // namespace

bool is_name_character(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

void validate_node_name(const std::string& name) {
  if (name.empty()) {
    throw exceptions::InvalidNodeNameError(name.c_str(), "node name must not be empty", 0);
  }
  for (size_t i = 0; i < name.size(); ++i) {
    if (!is_name_character(name[i])) {
      throw exceptions::InvalidNodeNameError(
          name.c_str(), "node name must not contain characters other than alphanumerics or '_'", i);
    }
  }
  if (is_digit(name[0])) {
    throw exceptions::InvalidNodeNameError(name.c_str(), "node name must not start with a number",
                                           0);
  }
  if (name.size() > kMaxNodeNameLength) {
    throw exceptions::InvalidNodeNameError(
        name.c_str(), "node name should not exceed 255 characters", kMaxNodeNameLength - 1);
  }
}

std::string absolute_namespace(const std::string& namespace_) {
  const std::string absolute =
      namespace_.empty() ? "/" : (namespace_[0] == '/' ? namespace_ : "/" + namespace_);
  for (size_t i = 0; i < absolute.size(); ++i) {
    if (!is_name_character(absolute[i]) && absolute[i] != '/') {
      throw exceptions::InvalidNamespaceError(
          absolute.c_str(),
          "namespace must not contain characters other than alphanumerics, '_', or '/'", i);
    }
  }
  if (absolute.size() > 1 && absolute.back() == '/') {
    throw exceptions::InvalidNamespaceError(
        absolute.c_str(), "namespace must not end with a forward slash", absolute.size() - 1);
  }
  const size_t repeated_slash = absolute.find("//");
  if (repeated_slash != std::string::npos) {
    throw exceptions::InvalidNamespaceError(
        absolute.c_str(), "namespace must not contain repeated forward slashes", repeated_slash);
  }
  const size_t digit = token_starting_with_digit(absolute);
  if (digit != std::string::npos) {
    throw exceptions::InvalidNamespaceError(
        absolute.c_str(), "namespace must not contain a token starting with a number", digit);
  }
  return absolute;
}

std::string fully_qualified_name(const std::string& namespace_, const std::string& name) {
  return namespace_ == "/" ? "/" + name : namespace_ + "/" + name;
}

std::string node_logger_name(const std::string& namespace_, const std::string& name) {
  if (namespace_ == "/") {
    return name;
  }
  std::string logger = namespace_.substr(1) + "." + name;
  replace_all(logger, "/", ".");
  return logger;
}

std::string expand_name(const std::string& name, const std::string& node_name,
                        const std::string& namespace_, bool is_service) {
  validate_unexpanded_name(name, is_service);
  std::string expanded = name;
  replace_all(expanded, "{node}", node_name);
  replace_all(expanded, "{ns}", namespace_);
  replace_all(expanded, "{namespace}", namespace_);
  if (expanded[0] == '~') {
    expanded = fully_qualified_name(namespace_, node_name) + expanded.substr(1);
  } else if (expanded[0] != '/') {
    expanded = (namespace_ == "/" ? "/" : namespace_ + "/") + expanded;
  }
  validate_expanded_name(expanded, is_service);
  return expanded;
}

std::pair<std::string, std::string> remap_node(const std::string& name,
                                               const std::string& namespace_,
                                               const RosArguments& arguments) {
  auto first_rule_value = [&arguments](const char* from, const std::string& node_name,
                                       const std::string& fallback) {
    for (const RemapRule& rule : arguments.remap_rules()) {
      if (rule.from == from && rule_applies_to(rule, node_name)) {
        return rule.to;
      }
    }
    return fallback;
  };
  const std::string remapped_name = first_rule_value("__node", name, name);
  return {remapped_name, first_rule_value("__ns", remapped_name, namespace_)};
}

std::string remap_name(const std::string& expanded_name, const std::string& node_name,
                       const std::string& namespace_, const RosArguments& arguments,
                       bool is_service) {
  for (const RemapRule& rule : arguments.remap_rules()) {
    if (rule.from == "__node" || rule.from == "__ns" || !rule_applies_to(rule, node_name)) {
      continue;
    }
    try {
      if (expand_name(rule.from, node_name, namespace_, is_service) == expanded_name) {
        return expand_name(rule.to, node_name, namespace_, is_service);
      }
    } catch (const exceptions::NameValidationError&) {
      // A rule that is no valid name for this node matches nothing.
    }
  }
  return expanded_name;
}

}  // namespace detail
}  // namespace rclcpp
