// rclcpp::Duration as in rclcpp/duration.hpp (Humble): a signed span of nanoseconds.
#ifndef RCLCPP__DURATION_HPP_
#define RCLCPP__DURATION_HPP_

#include <chrono>
#include <cstdint>

#include "builtin_interfaces/msg/duration.hpp"
#include "rcl/time.h"

namespace rclcpp {

class Duration {
public:
  Duration(int32_t seconds, uint32_t nanoseconds);
  explicit Duration(std::chrono::nanoseconds nanoseconds);

  template <class Rep, class Period>
  Duration(const std::chrono::duration<Rep, Period>& duration)  // NOLINT(runtime/explicit)
      : Duration(std::chrono::duration_cast<std::chrono::nanoseconds>(duration)) {}

  Duration(const builtin_interfaces::msg::Duration& duration_msg);  // NOLINT(runtime/explicit)

  Duration(const Duration& rhs) = default;
  Duration& operator=(const Duration& rhs) = default;
  Duration& operator=(const builtin_interfaces::msg::Duration& duration_msg);

  /// Floors to whole seconds; saturates at the limits of int32 seconds.
  operator builtin_interfaces::msg::Duration() const;

  bool operator==(const Duration& rhs) const { return nanoseconds_ == rhs.nanoseconds_; }
  bool operator!=(const Duration& rhs) const { return nanoseconds_ != rhs.nanoseconds_; }
  bool operator<(const Duration& rhs) const { return nanoseconds_ < rhs.nanoseconds_; }
  bool operator<=(const Duration& rhs) const { return nanoseconds_ <= rhs.nanoseconds_; }
  bool operator>(const Duration& rhs) const { return nanoseconds_ > rhs.nanoseconds_; }
  bool operator>=(const Duration& rhs) const { return nanoseconds_ >= rhs.nanoseconds_; }

  // These throw std::overflow_error when the result does not fit in int64 nanoseconds.
  Duration operator+(const Duration& rhs) const;
  Duration& operator+=(const Duration& rhs);
  Duration operator-(const Duration& rhs) const;
  Duration& operator-=(const Duration& rhs);
  Duration operator-() const;
  Duration operator*(double scale) const;
  Duration& operator*=(double scale);

  static Duration max();
  static Duration from_seconds(double seconds);
  static Duration from_nanoseconds(rcl_duration_value_t nanoseconds);

  rcl_duration_value_t nanoseconds() const { return nanoseconds_; }
  double seconds() const;

  template <class DurationT>
  DurationT to_chrono() const {
    return std::chrono::duration_cast<DurationT>(std::chrono::nanoseconds(nanoseconds_));
  }

private:
  Duration() = default;

  rcl_duration_value_t nanoseconds_ = 0;
};

}  // namespace rclcpp

#endif  // RCLCPP__DURATION_HPP_
