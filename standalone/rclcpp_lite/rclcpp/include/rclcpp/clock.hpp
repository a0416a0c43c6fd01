// rclcpp::Clock as in rclcpp/clock.hpp (Humble). ROS time here always follows the system clock.
#ifndef RCLCPP__CLOCK_HPP_
#define RCLCPP__CLOCK_HPP_

#include "rcl/time.h"
#include "rclcpp/macros.hpp"
#include "rclcpp/time.hpp"

namespace rclcpp {

class Clock {
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Clock)

  explicit Clock(rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);

  /// The current time of this clock's type. Throws std::runtime_error if the clock cannot be read.
  Time now();

  rcl_clock_type_t get_clock_type() const noexcept { return clock_type_; }

private:
  rcl_clock_type_t clock_type_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CLOCK_HPP_
