#include "rclcpp/time.hpp"

namespace rclcpp {

Time::operator builtin_interfaces::msg::Time() const {
  constexpr rcl_time_point_value_t kNanosPerSecond = RCL_S_TO_NS(1);
  rcl_time_point_value_t seconds = nanoseconds_ / kNanosPerSecond;
  rcl_time_point_value_t rest = nanoseconds_ % kNanosPerSecond;
  if (rest < 0) {
    --seconds;
    rest += kNanosPerSecond;
  }
  builtin_interfaces::msg::Time msg;
  msg.sec = static_cast<int32_t>(seconds);
  msg.nanosec = static_cast<uint32_t>(rest);
  return msg;
}

}  // namespace rclcpp
