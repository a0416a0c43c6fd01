// /rosout as rcl keeps it: every line a node's logger writes also goes out as an
// rcl_interfaces/msg/Log on that node's /rosout publisher. Lines of other loggers (e.g. "rclcpp",
// or a child logger "node.sub") stay on the console, as in Humble. Process-wide, like rcutils
// logging itself.
#ifndef RCLCPP__DETAIL__ROSOUT_HPP_
#define RCLCPP__DETAIL__ROSOUT_HPP_

#include <cstdarg>
#include <memory>
#include <string>

#include "rcl_interfaces/msg/log.hpp"
#include "rclcpp/publisher.hpp"
#include "rclcpp/qos.hpp"
#include "rcutils/logging.h"

namespace rclcpp {
namespace detail {

class Rosout {
public:
  using LogPublisher = rclcpp::Publisher<rcl_interfaces::msg::Log>;

  /// rcl's /rosout QoS: keep last 1000, reliable, transient local, lifespan 10 s.
  static QoS qos();

  /// Whether lines go to /rosout at all; set when logging is configured (--disable-rosout-logs).
  static bool enabled();
  static void set_enabled(bool enabled);

  /// Publishes the lines of `logger_name` on `publisher` while it lives. False, with rcl's
  /// warning, if a live publisher has that logger name already (another node of the same name).
  static bool attach(const std::string& logger_name,
                     const std::shared_ptr<LogPublisher>& publisher);

  /// The rcutils output handler's part: publishes the line if a node's logger wrote it. A line
  /// logged while a line is being published on the same thread stays on the console only.
  static void publish(const rcutils_log_location_t* location, int severity, const char* name,
                      rcutils_time_point_value_t timestamp, const char* format, va_list* args);
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__ROSOUT_HPP_
