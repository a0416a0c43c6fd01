// rclcpp::Time as in rclcpp/time.hpp (Humble): a point in time of one clock type.
#ifndef RCLCPP__TIME_HPP_
#define RCLCPP__TIME_HPP_

#include <cstdint>

#include "builtin_interfaces/msg/time.hpp"
#include "rcl/time.h"
#include "rclcpp/duration.hpp"

namespace rclcpp {

class Time {
public:
  /// Throws std::runtime_error for negative seconds.
  Time(int32_t seconds, uint32_t nanoseconds, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);
  explicit Time(int64_t nanoseconds = 0, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);
  /// Throws std::runtime_error for negative seconds.
  Time(const builtin_interfaces::msg::Time& time_msg,  // NOLINT(runtime/explicit)
       rcl_clock_type_t clock_type = RCL_ROS_TIME);
  Time(const Time& rhs) = default;
  Time& operator=(const Time& rhs) = default;
  Time& operator=(const builtin_interfaces::msg::Time& time_msg);

  /// Floors to whole seconds, so that nanosec is in [0, 1e9) for times before the epoch too.
  operator builtin_interfaces::msg::Time() const;

  // Comparing or subtracting times of different clock types throws std::runtime_error.
  bool operator==(const Time& rhs) const;
  bool operator!=(const Time& rhs) const;
  bool operator<(const Time& rhs) const;
  bool operator<=(const Time& rhs) const;
  bool operator>=(const Time& rhs) const;
  bool operator>(const Time& rhs) const;
  Time operator+(const Duration& rhs) const;
  Duration operator-(const Time& rhs) const;
  Time operator-(const Duration& rhs) const;
  Time& operator+=(const Duration& rhs);
  Time& operator-=(const Duration& rhs);

  rcl_time_point_value_t nanoseconds() const { return nanoseconds_; }
  double seconds() const;
  rcl_clock_type_t get_clock_type() const { return clock_type_; }

  static Time max();

private:
  void expect_same_clock(const Time& rhs, const char* what) const;

  rcl_time_point_value_t nanoseconds_;
  rcl_clock_type_t clock_type_;
};

Time operator+(const rclcpp::Duration& lhs, const rclcpp::Time& rhs);

}  // namespace rclcpp

#endif  // RCLCPP__TIME_HPP_
