#ifndef ROS_TOOLS_PROGRAM_ARGUMENTS_HPP_
#define ROS_TOOLS_PROGRAM_ARGUMENTS_HPP_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ros_tools {

// A tool's own command-line arguments: argv without the program name and without the
// "--ros-args ... [--]" sections that rclcpp::init reads. Options are taken out one by one
// ("--name VALUE" or "--name=VALUE"); what stays are the positional arguments.
class ProgramArguments {
public:
  ProgramArguments(int argc, const char* const* argv);
  explicit ProgramArguments(std::vector<std::string> args);

  // True (and removed) when any of names is present.
  bool TakeFlag(const std::vector<std::string>& names);
  // False and *error when the option is present without a value or with one that is not a
  // number of the kind asked for. Absent options leave *value as it is.
  bool TakeSeconds(const std::string& name, double* value, std::string* error);
  bool TakeCount(const std::string& name, uint64_t* value, std::string* error);
  // Any int32 value, zero and negative ones included (a service's status or result).
  bool TakeInteger(const std::string& name, int32_t* value, std::string* error);

  // The positional arguments; false and *error when an unknown option is left.
  bool Positional(std::vector<std::string>* positional, std::string* error) const;

private:
  // Empty when absent; *error set (and false returned through *ok) when the value is missing.
  std::optional<std::string> TakeValue(const std::string& name, bool* ok, std::string* error);

  std::vector<std::string> args_;
};

}  // namespace ros_tools

#endif  // ROS_TOOLS_PROGRAM_ARGUMENTS_HPP_
