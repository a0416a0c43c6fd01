// The exception types of rclcpp/exceptions/exceptions.hpp (Humble) that this subset throws.
#ifndef RCLCPP__EXCEPTIONS__EXCEPTIONS_HPP_
#define RCLCPP__EXCEPTIONS__EXCEPTIONS_HPP_

#include <stdexcept>
#include <string>
#include <vector>

namespace rclcpp {
namespace exceptions {

/// A node, namespace, topic or service name that does not follow the ROS naming rules.
class NameValidationError : public std::invalid_argument {
public:
  NameValidationError(const char* name_type_, const char* name_, const char* error_msg_,
                      size_t invalid_index_)
      : std::invalid_argument(format_error(name_type_, name_, error_msg_, invalid_index_)),
        name_type(name_type_),
        name(name_),
        error_msg(error_msg_),
        invalid_index(invalid_index_) {}

  static std::string format_error(const char* name_type, const char* name, const char* error_msg,
                                  size_t invalid_index) {
    std::string msg = "Invalid ";
    msg += name_type;
    msg += ": ";
    msg += error_msg;
    msg += ":\n  ";
    msg += name;
    msg += "\n  " + std::string(invalid_index, ' ') + "^\n";
    return msg;
  }

  const std::string name_type;
  const std::string name;
  const std::string error_msg;
  const size_t invalid_index;
};

// The four kinds of name, each an exception type of its own, constructed from (name, what is
// wrong with it, the index of the first offending character).
#define RCLCPP_LITE_NAME_ERROR_(Error, kind)                                \
  class Error : public NameValidationError {                                \
  public:                                                                   \
    Error(const char* name_, const char* error_msg_, size_t invalid_index_) \
        : NameValidationError(kind, name_, error_msg_, invalid_index_) {}   \
  };

RCLCPP_LITE_NAME_ERROR_(InvalidNodeNameError, "node name")
RCLCPP_LITE_NAME_ERROR_(InvalidNamespaceError, "namespace")
RCLCPP_LITE_NAME_ERROR_(InvalidTopicNameError, "topic name")
RCLCPP_LITE_NAME_ERROR_(InvalidServiceNameError, "service name")
#undef RCLCPP_LITE_NAME_ERROR_

/// The failure of a call into the layer below rclcpp (rcl in ROS 2), with its return code.
class RCLErrorBase {
public:
  RCLErrorBase(int ret_, const std::string& message_)
      : ret(ret_), message(message_), file(), line(0), formatted_message(message_) {}
  virtual ~RCLErrorBase() {}

  int ret;
  std::string message;
  std::string file;
  size_t line;
  std::string formatted_message;
};

class RCLError : public RCLErrorBase, public std::runtime_error {
public:
  RCLError(int ret, const std::string& message, const std::string& prefix)
      : RCLError(RCLErrorBase(ret, message), prefix) {}
  RCLError(const RCLErrorBase& base_exc, const std::string& prefix)
      : RCLErrorBase(base_exc), std::runtime_error(prefix + base_exc.formatted_message) {}
};

/// Malformed ROS arguments (a flag without its value, say).
class RCLInvalidROSArgsError : public RCLErrorBase, public std::runtime_error {
public:
  RCLInvalidROSArgsError(const RCLErrorBase& base_exc, const std::string& prefix)
      : RCLErrorBase(base_exc), std::runtime_error(prefix + base_exc.formatted_message) {}
};

/// Flags inside --ros-args that are not ROS arguments.
class UnknownROSArgsError : public std::runtime_error {
public:
  explicit UnknownROSArgsError(std::vector<std::string>&& unknown_ros_args_in)
      : std::runtime_error("found unknown ROS arguments: '" + join(unknown_ros_args_in) + "'"),
        unknown_ros_args(std::move(unknown_ros_args_in)) {}

  const std::vector<std::string> unknown_ros_args;

private:
  static std::string join(const std::vector<std::string>& args) {
    std::string joined;
    for (const auto& arg : args) {
      joined += (joined.empty() ? "" : "', '") + arg;
    }
    return joined;
  }
};

class InvalidParameterTypeException : public std::runtime_error {
public:
  InvalidParameterTypeException(const std::string& name, const std::string message)
      : std::runtime_error("parameter '" + name + "' has invalid type: " + message) {}
};

class ParameterAlreadyDeclaredException : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

class ParameterNotDeclaredException : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace exceptions
}  // namespace rclcpp

#endif  // RCLCPP__EXCEPTIONS__EXCEPTIONS_HPP_
