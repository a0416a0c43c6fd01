// rclcpp::Logger as in rclcpp/logger.hpp (Humble): a named rcutils logger.
#ifndef RCLCPP__LOGGER_HPP_
#define RCLCPP__LOGGER_HPP_

#include <memory>
#include <string>

#include "rcutils/logging.h"

namespace rclcpp {

class Logger;

/// The logger of that name; named loggers need no set-up.
Logger get_logger(const std::string& name);

class Logger {
public:
  enum class Level {
    Unset = RCUTILS_LOG_SEVERITY_UNSET,
    Debug = RCUTILS_LOG_SEVERITY_DEBUG,
    Info = RCUTILS_LOG_SEVERITY_INFO,
    Warn = RCUTILS_LOG_SEVERITY_WARN,
    Error = RCUTILS_LOG_SEVERITY_ERROR,
    Fatal = RCUTILS_LOG_SEVERITY_FATAL,
  };

  Logger(const Logger&) = default;
  Logger& operator=(const Logger&) = default;

  const char* get_name() const { return name_ ? name_->c_str() : nullptr; }

  /// The logger "<this name>.<suffix>".
  Logger get_child(const std::string& suffix) const;

  /// Sets this logger's level (and so that of its children without a level of their own).
  void set_level(Level level);

private:
  friend Logger rclcpp::get_logger(const std::string& name);

  Logger() = default;
  explicit Logger(const std::string& name) : name_(std::make_shared<const std::string>(name)) {}

  std::shared_ptr<const std::string> name_;
};

}  // namespace rclcpp

#endif  // RCLCPP__LOGGER_HPP_
