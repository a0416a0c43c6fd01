#include "rclcpp/duration.hpp"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "rclcpp/detail/checked_arithmetic.hpp"

namespace rclcpp {

Duration::Duration(int32_t seconds, uint32_t nanoseconds)
    : nanoseconds_(RCL_S_TO_NS(static_cast<rcl_duration_value_t>(seconds)) + nanoseconds) {}

Duration::Duration(std::chrono::nanoseconds nanoseconds) : nanoseconds_(nanoseconds.count()) {}

Duration::Duration(const builtin_interfaces::msg::Duration& duration_msg)
    : Duration(duration_msg.sec, duration_msg.nanosec) {}

Duration& Duration::operator=(const builtin_interfaces::msg::Duration& duration_msg) {
  *this = Duration(duration_msg);
  return *this;
}

Duration::operator builtin_interfaces::msg::Duration() const {
  constexpr rcl_duration_value_t kNanosPerSecond = RCL_S_TO_NS(1);
  constexpr int32_t kMaxSeconds = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMinSeconds = std::numeric_limits<int32_t>::min();
  builtin_interfaces::msg::Duration msg;
  const auto split = std::lldiv(nanoseconds_, kNanosPerSecond);
  if (split.rem >= 0) {
    if (split.quot > kMaxSeconds) {
      msg.sec = kMaxSeconds;
      msg.nanosec = std::numeric_limits<uint32_t>::max();
    } else {
      msg.sec = static_cast<int32_t>(split.quot);
      msg.nanosec = static_cast<uint32_t>(split.rem);
    }
  } else if (split.quot <= kMinSeconds) {
    msg.sec = kMinSeconds;
    msg.nanosec = 0u;
  } else {
    msg.sec = static_cast<int32_t>(split.quot - 1);
    msg.nanosec = static_cast<uint32_t>(kNanosPerSecond + split.rem);
  }
  return msg;
}

Duration Duration::operator+(const Duration& rhs) const {
  return from_nanoseconds(detail::checked_add(nanoseconds_, rhs.nanoseconds_, "addition"));
}

Duration& Duration::operator+=(const Duration& rhs) {
  return *this = *this + rhs;
}

Duration Duration::operator-(const Duration& rhs) const {
  return from_nanoseconds(
      detail::checked_sub(nanoseconds_, rhs.nanoseconds_, "duration subtraction"));
}

Duration& Duration::operator-=(const Duration& rhs) {
  return *this = *this - rhs;
}

Duration Duration::operator-() const {
  return from_nanoseconds(detail::checked_sub(0, nanoseconds_, "duration negation"));
}

Duration Duration::operator*(double scale) const {
  if (!std::isfinite(scale)) {
    throw std::runtime_error("abnormal scale in rclcpp::Duration");
  }
  const long double product = static_cast<long double>(nanoseconds_) * scale;
  if (product > static_cast<long double>(std::numeric_limits<int64_t>::max())) {
    throw std::overflow_error("duration scaling leads to int64_t overflow");
  }
  if (product < static_cast<long double>(std::numeric_limits<int64_t>::min())) {
    throw std::underflow_error("duration scaling leads to int64_t underflow");
  }
  return from_nanoseconds(static_cast<rcl_duration_value_t>(product));
}

Duration& Duration::operator*=(double scale) {
  return *this = *this * scale;
}

Duration Duration::max() {
  return Duration(std::numeric_limits<int32_t>::max(), 999999999);
}

Duration Duration::from_seconds(double seconds) {
  Duration duration;
  duration.nanoseconds_ = static_cast<rcl_duration_value_t>(RCL_S_TO_NS(seconds));
  return duration;
}

Duration Duration::from_nanoseconds(rcl_duration_value_t nanoseconds) {
  Duration duration;
  duration.nanoseconds_ = nanoseconds;
  return duration;
}

double Duration::seconds() const {
  return std::chrono::duration<double>(std::chrono::nanoseconds(nanoseconds_)).count();
}

}  // namespace rclcpp
