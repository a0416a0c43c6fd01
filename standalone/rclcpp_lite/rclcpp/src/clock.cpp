#include "rclcpp/clock.hpp"

#include <stdexcept>
#include <string>

#include "rcutils/time.h"

namespace rclcpp {

Clock::Clock(rcl_clock_type_t clock_type) : clock_type_(clock_type) {}

Time Clock::now() {
  rcutils_time_point_value_t nanoseconds = 0;
  // Simulated time is not supported: ROS time is the system time.
  const rcutils_ret_t ret = clock_type_ == RCL_STEADY_TIME ? rcutils_steady_time_now(&nanoseconds)
                                                           : rcutils_system_time_now(&nanoseconds);
  if (clock_type_ == RCL_CLOCK_UNINITIALIZED || ret != RCUTILS_RET_OK) {
    throw std::runtime_error("could not get current time stamp");
  }
  return Time(nanoseconds, clock_type_);
}

}  // namespace rclcpp
