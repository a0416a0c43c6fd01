// rclcpp::Time as in rclcpp/time.hpp (Humble), as far as stamping a message goes: a point in time
// of one clock type, converted to builtin_interfaces/msg/Time.
#ifndef RCLCPP__TIME_HPP_
#define RCLCPP__TIME_HPP_

#include <cstdint>

#include "builtin_interfaces/msg/time.hpp"
#include "rcl/time.h"

namespace rclcpp {

class Time {
public:
  explicit Time(int64_t nanoseconds = 0, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME)
      : nanoseconds_(nanoseconds), clock_type_(clock_type) {}

  /// Floors to whole seconds, so that nanosec is in [0, 1e9) for times before the epoch too.
  operator builtin_interfaces::msg::Time() const;

  rcl_time_point_value_t nanoseconds() const { return nanoseconds_; }
  rcl_clock_type_t get_clock_type() const { return clock_type_; }

private:
  rcl_time_point_value_t nanoseconds_;
  rcl_clock_type_t clock_type_;
};

}  // namespace rclcpp

#endif  // RCLCPP__TIME_HPP_
