#include "rclcpp/detail/ros_arguments.hpp"

#include <stdexcept>
#include <tuple>

#include "rcl/types.h"
#include "rclcpp/detail/names.hpp"
#include "rclcpp/detail/yaml_parameters.hpp"
#include "rclcpp/exceptions.hpp"
#include "rcutils/allocator.h"
#include "rcutils/error_handling.h"
#include "rcutils/logging.h"
#include "rcutils/logging_macros.h"

namespace rclcpp {
namespace detail {

namespace {

enum class FlagKind { param, params_file, remap, log_level, enclave, log_config_file, log_switch };

struct Flag {
  const char* short_name;
  const char* long_name;
  FlagKind kind;
  const char* missing_value;  ///< what the error says is missing; nullptr: takes no value
};

const Flag kFlags[] = {
    {"-p", "--param", FlagKind::param, "parameter override rule"},
    {nullptr, "--params-file", FlagKind::params_file, "file path"},
    {"-r", "--remap", FlagKind::remap, "remap rule"},
    {nullptr, "--log-level", FlagKind::log_level, "log level"},
    {"-e", "--enclave", FlagKind::enclave, "enclave path"},
    {nullptr, "--log-config-file", FlagKind::log_config_file, "file path"},
    {nullptr, "--enable-stdout-logs", FlagKind::log_switch, nullptr},
    {nullptr, "--disable-stdout-logs", FlagKind::log_switch, nullptr},
    {nullptr, "--enable-rosout-logs", FlagKind::log_switch, nullptr},
    {nullptr, "--disable-rosout-logs", FlagKind::log_switch, nullptr},
    {nullptr, "--enable-external-lib-logs", FlagKind::log_switch, nullptr},
    {nullptr, "--disable-external-lib-logs", FlagKind::log_switch, nullptr},
};

const Flag* find_flag(const std::string& arg) {
  for (const Flag& flag : kFlags) {
    if ((flag.short_name != nullptr && arg == flag.short_name) || arg == flag.long_name) {
      return &flag;
    }
  }
  return nullptr;
}

/// What the malformed-rule error calls the value.
const char* rule_description(FlagKind kind) {
  switch (kind) {
    case FlagKind::param:
      return "parameter override rule";
    case FlagKind::params_file:
      return "params file";
    case FlagKind::remap:
      return "remap rule";
    case FlagKind::log_level:
      return "log level";
    default:
      return "argument";
  }
}

/// Splits "lhs:=rhs" at the first ":=".
std::pair<std::string, std::string> split_assignment(const std::string& rule) {
  const size_t separator = rule.find(":=");
  if (separator == std::string::npos) {
    throw std::invalid_argument("expected ':=' in '" + rule + "'");
  }
  return {rule.substr(0, separator), rule.substr(separator + 2)};
}

/// Splits an optional "node:" prefix off the left-hand side of a rule.
std::pair<std::string, std::string> split_node_prefix(const std::string& lhs) {
  const size_t colon = lhs.find(':');
  if (colon == std::string::npos) {
    return {"", lhs};
  }
  if (colon == 0) {
    throw std::invalid_argument("empty node name before ':' in '" + lhs + "'");
  }
  return {lhs.substr(0, colon), lhs.substr(colon + 1)};
}

void expect_characters(const std::string& text, const char* allowed_extra, const char* what) {
  if (text.empty()) {
    throw std::invalid_argument(std::string(what) + " must not be empty");
  }
  for (const char c : text) {
    if (!is_name_character(c) && std::string(allowed_extra).find(c) == std::string::npos) {
      throw std::invalid_argument(std::string(what) + " '" + text + "' contains '" + c + "'");
    }
  }
}

}  // namespace

void RosArguments::add_parameter_rule(const std::string& rule) {
  const auto [lhs, value] = split_assignment(rule);
  const auto [node_name, name] = split_node_prefix(lhs);
  expect_characters(name, "./", "parameter name");
  if (!node_name.empty()) {
    expect_characters(node_name, "/*", "node name");
  }
  parameter_overrides_.set(node_name.empty() ? "/**" : node_name, name,
                           parse_parameter_value(value));
}

void RosArguments::add_remap_rule(const std::string& rule) {
  const auto [lhs, to] = split_assignment(rule);
  auto [node_name, from] = split_node_prefix(lhs);
  if (from == "__name") {
    from = "__node";
  }
  if (!node_name.empty()) {
    expect_characters(node_name, "", "node name");
  }
  expect_characters(from, "/~{}", "name to remap");
  if (from == "__node") {
    expect_characters(to, "", "node name");
  } else if (from == "__ns") {
    expect_characters(to, "/", "namespace");
    if (to[0] != '/') {
      throw std::invalid_argument("namespace '" + to + "' must be absolute");
    }
  } else {
    expect_characters(to, "/~{}", "replacement name");
  }
  remap_rules_.push_back(RemapRule{node_name, from, to});
}

void RosArguments::add_log_level_rule(const std::string& rule) {
  std::string logger;
  std::string level = rule;
  if (rule.find(":=") != std::string::npos) {
    std::tie(logger, level) = split_assignment(rule);
    if (logger.empty()) {
      throw std::invalid_argument("empty logger name in '" + rule + "'");
    }
  }
  int severity = 0;
  if (rcutils_logging_severity_level_from_string(level.c_str(), rcutils_get_default_allocator(),
                                                 &severity) != RCUTILS_RET_OK) {
    rcutils_reset_error();
    throw std::invalid_argument("Argument does not use a valid severity level: '" + level + "'");
  }
  if (logger.empty()) {
    default_log_level_ = severity;
  } else {
    logger_levels_.emplace_back(logger, severity);
  }
}

bool RosArguments::apply_ros_flag(const std::vector<std::string>& args, size_t& i,
                                  const std::string& error_prefix) {
  const Flag* flag = find_flag(args[i]);
  if (flag == nullptr) {
    return false;
  }
  if (flag->missing_value == nullptr) {
    if (args[i] == "--disable-stdout-logs" || args[i] == "--enable-stdout-logs") {
      stdout_logs_enabled_ = args[i] == "--enable-stdout-logs";
    } else if (args[i] == "--disable-rosout-logs" || args[i] == "--enable-rosout-logs") {
      rosout_logs_enabled_ = args[i] == "--enable-rosout-logs";
    }
    return true;  // external library logs do not exist here
  }
  if (i + 1 >= args.size()) {
    throw exceptions::RCLInvalidROSArgsError(
        exceptions::RCLErrorBase(RCL_RET_INVALID_ROS_ARGS, "Couldn't parse trailing " + args[i] +
                                                               " flag. No " + flag->missing_value +
                                                               " provided."),
        error_prefix);
  }
  const std::string& value = args[++i];
  try {
    switch (flag->kind) {
      case FlagKind::param:
        add_parameter_rule(value);
        break;
      case FlagKind::params_file:
        load_parameter_file(value, parameter_overrides_);
        break;
      case FlagKind::remap:
        add_remap_rule(value);
        break;
      case FlagKind::log_level:
        add_log_level_rule(value);
        break;
      default:
        break;  // the enclave and the logging configuration file have no effect here
    }
  } catch (const std::invalid_argument& error) {
    // rcl reports every malformed rule, unreadable parameter file included, as invalid ROS
    // arguments, which rclcpp throws as RCLInvalidROSArgsError.
    throw exceptions::RCLInvalidROSArgsError(
        exceptions::RCLErrorBase(RCL_RET_INVALID_ROS_ARGS, std::string("Couldn't parse ") +
                                                               rule_description(flag->kind) +
                                                               ": '" + args[i - 1] + " " + value +
                                                               "'. Error: " + error.what()),
        error_prefix);
  }
  return true;
}

RosArguments RosArguments::parse(const std::vector<std::string>& args,
                                 const std::string& error_prefix) {
  RosArguments result;
  bool in_ros_args = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--ros-args") {
      in_ros_args = true;
    } else if (in_ros_args && arg == "--") {
      in_ros_args = false;
    } else if (in_ros_args) {
      if (!result.apply_ros_flag(args, i, error_prefix)) {
        result.unknown_ros_args_.push_back(arg);
      }
    } else if (arg.find(":=") != std::string::npos) {
      try {
        result.add_remap_rule(arg);
        RCUTILS_LOG_WARN_NAMED("rcl",
                               "Found remap rule '%s'. This syntax is deprecated. Use "
                               "'--ros-args --remap %s' instead.",
                               arg.c_str(), arg.c_str());
      } catch (const std::invalid_argument&) {
        result.non_ros_args_.push_back(arg);
      }
    } else {
      result.non_ros_args_.push_back(arg);
    }
  }
  return result;
}

}  // namespace detail
}  // namespace rclcpp
