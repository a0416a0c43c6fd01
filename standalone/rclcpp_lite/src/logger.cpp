#include "rclcpp/logger.hpp"

#include <stdexcept>

#include "rcutils/error_handling.h"

namespace rclcpp {

Logger get_logger(const std::string& name) {
  return Logger(name);
}

Logger Logger::get_child(const std::string& suffix) const {
  if (!name_) {
    return Logger();
  }
  return Logger(*name_ + "." + suffix);
}

void Logger::set_level(Level level) {
  const rcutils_ret_t ret = rcutils_logging_set_logger_level(get_name(), static_cast<int>(level));
  if (ret != RCUTILS_RET_OK) {
    const std::string error = rcutils_get_error_string().str;
    rcutils_reset_error();
    throw std::runtime_error("Couldn't set logger level: " + error);
  }
}

}  // namespace rclcpp
