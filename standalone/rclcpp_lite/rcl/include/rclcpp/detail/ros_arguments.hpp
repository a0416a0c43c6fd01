// The ROS part of a command line, read the way rcl_parse_arguments reads it:
//   prog [args] --ros-args [-p|--param [node:]name:=value] [--params-file FILE]
//        [-r|--remap [node:]from:=to] [--log-level [logger:=]level] [-e|--enclave E]
//        [--log-config-file F] [--enable-|--disable-{stdout,rosout,external-lib}-logs] [--] [args]
// Outside --ros-args, a "from:=to" token is still a (deprecated) remap rule.
#ifndef RCLCPP__DETAIL__ROS_ARGUMENTS_HPP_
#define RCLCPP__DETAIL__ROS_ARGUMENTS_HPP_

#include <string>
#include <utility>
#include <vector>

#include "rclcpp/detail/parameter_overrides.hpp"

namespace rclcpp {
namespace detail {

struct RemapRule {
  std::string node_name;  ///< empty: the rule applies to every node
  std::string from;       ///< "__node", "__ns", or a topic or service name
  std::string to;
};

class RosArguments {
public:
  /// Parses `args` (argv[0] included, if any). A flag without its value throws
  /// rclcpp::exceptions::RCLInvalidROSArgsError, a malformed rule or an unreadable parameter
  /// file rclcpp::exceptions::RCLError; both messages start with `error_prefix` and name the
  /// offending arguments. Unknown flags inside --ros-args are collected, see unknown_ros_args().
  static RosArguments parse(const std::vector<std::string>& args, const std::string& error_prefix);

  const std::vector<std::string>& unknown_ros_args() const { return unknown_ros_args_; }
  const std::vector<std::string>& non_ros_args() const { return non_ros_args_; }
  const std::vector<RemapRule>& remap_rules() const { return remap_rules_; }
  const ParameterOverrides& parameter_overrides() const { return parameter_overrides_; }

  /// The rcutils severity --log-level LEVEL gave, or -1.
  int default_log_level() const { return default_log_level_; }
  /// (logger name, rcutils severity) from --log-level NAME:=LEVEL, in order.
  const std::vector<std::pair<std::string, int>>& logger_levels() const { return logger_levels_; }
  bool stdout_logs_enabled() const { return stdout_logs_enabled_; }
  bool rosout_logs_enabled() const { return rosout_logs_enabled_; }

private:
  // Each applies the value of one flag; std::invalid_argument says why a value is malformed.
  void add_parameter_rule(const std::string& rule);
  void add_remap_rule(const std::string& rule);
  void add_log_level_rule(const std::string& rule);
  /// Applies a flag inside --ros-args (args[i]), consuming its value; false for an unknown flag.
  bool apply_ros_flag(const std::vector<std::string>& args, size_t& i,
                      const std::string& error_prefix);

  std::vector<std::string> unknown_ros_args_;
  std::vector<std::string> non_ros_args_;
  std::vector<RemapRule> remap_rules_;
  ParameterOverrides parameter_overrides_;
  int default_log_level_ = -1;
  std::vector<std::pair<std::string, int>> logger_levels_;
  bool stdout_logs_enabled_ = true;
  bool rosout_logs_enabled_ = true;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__ROS_ARGUMENTS_HPP_
