// rclcpp::Logger as in rclcpp/logger.hpp (Humble): a named rcutils logger.
#ifndef RCLCPP__LOGGER_HPP_
#define RCLCPP__LOGGER_HPP_

#include <memory>
#include <string>

namespace rclcpp {

class Logger;

/// The logger of that name; named loggers need no set-up.
Logger get_logger(const std::string& name);

class Logger {
public:
  Logger(const Logger&) = default;
  Logger& operator=(const Logger&) = default;

  const char* get_name() const { return name_->c_str(); }

private:
  friend Logger rclcpp::get_logger(const std::string& name);

  explicit Logger(const std::string& name) : name_(std::make_shared<const std::string>(name)) {}

  std::shared_ptr<const std::string> name_;
};

inline Logger get_logger(const std::string& name) {
  return Logger(name);
}

}  // namespace rclcpp

#endif  // RCLCPP__LOGGER_HPP_
