// /rosout as rcl keeps it: every line a node's logger writes also goes out as an
// rcl_interfaces/msg/Log on that node's /rosout publisher. Lines of other loggers (e.g. "rclcpp",
// or a child logger "node.sub") stay on the console, as in Humble. Process-wide, like rcutils
// logging itself; each node's lines are published by its NodeRosout.
#ifndef RCLCPP__DETAIL__ROSOUT_HPP_
#define RCLCPP__DETAIL__ROSOUT_HPP_

#include <cstdarg>
#include <memory>
#include <string>

#include "rclcpp/detail/node_rosout.hpp"
#include "rcutils/logging.h"

namespace rclcpp {
namespace detail {

class Rosout {
public:
  /// Whether lines go to /rosout at all; set when logging is configured (--disable-rosout-logs).
  static bool enabled();
  static void set_enabled(bool enabled);

  /// Publishes the lines of `logger_name` through `rosout` while it lives. False, with rcl's
  /// warning, if a live one has that logger name already (another node of the same name).
  static bool attach(const std::string& logger_name, const std::shared_ptr<NodeRosout>& rosout);

  /// The rcutils output handler's part: queues the line for publishing if a node's logger wrote
  /// it, unless the calling thread is one that publishes lines (a line it logs while publishing
  /// stays on the console, and cannot feed itself).
  static void publish(const rcutils_log_location_t* location, int severity, const char* name,
                      rcutils_time_point_value_t timestamp, const char* format, va_list* args);

  /// Called by a thread that publishes lines, before it does.
  static void mark_publishing_thread();
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__ROSOUT_HPP_
