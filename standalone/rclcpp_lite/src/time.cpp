#include "rclcpp/time.hpp"

#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "rclcpp/detail/checked_arithmetic.hpp"

namespace rclcpp {

namespace {

void reject_negative_seconds(int64_t seconds) {
  if (seconds < 0) {
    throw std::runtime_error("cannot store a negative time point in rclcpp::Time");
  }
}

}  // namespace

Time::Time(int32_t seconds, uint32_t nanoseconds, rcl_clock_type_t clock_type)
    : nanoseconds_(0), clock_type_(clock_type) {
  reject_negative_seconds(seconds);
  nanoseconds_ = RCL_S_TO_NS(static_cast<int64_t>(seconds)) + nanoseconds;
}

Time::Time(int64_t nanoseconds, rcl_clock_type_t clock_type)
    : nanoseconds_(nanoseconds), clock_type_(clock_type) {}

Time::Time(const builtin_interfaces::msg::Time& time_msg, rcl_clock_type_t clock_type)
    : Time(time_msg.sec, time_msg.nanosec, clock_type) {}

Time& Time::operator=(const builtin_interfaces::msg::Time& time_msg) {
  *this = Time(time_msg);
  return *this;
}

Time::operator builtin_interfaces::msg::Time() const {
  constexpr rcl_time_point_value_t kNanosPerSecond = RCL_S_TO_NS(1);
  builtin_interfaces::msg::Time msg;
  const auto split = std::lldiv(nanoseconds_, kNanosPerSecond);
  if (split.rem >= 0) {
    msg.sec = static_cast<int32_t>(split.quot);
    msg.nanosec = static_cast<uint32_t>(split.rem);
  } else {
    msg.sec = static_cast<int32_t>(split.quot - 1);
    msg.nanosec = static_cast<uint32_t>(kNanosPerSecond + split.rem);
  }
  return msg;
}

void Time::expect_same_clock(const Time& rhs, const char* what) const {
  if (clock_type_ != rhs.clock_type_) {
    throw std::runtime_error(std::string("can't ") + what + " times with different time sources");
  }
}

bool Time::operator==(const Time& rhs) const {
  return clock_type_ == rhs.clock_type_ && nanoseconds_ == rhs.nanoseconds_;
}

bool Time::operator!=(const Time& rhs) const {
  return !(*this == rhs);
}

bool Time::operator<(const Time& rhs) const {
  expect_same_clock(rhs, "compare");
  return nanoseconds_ < rhs.nanoseconds_;
}

bool Time::operator<=(const Time& rhs) const {
  expect_same_clock(rhs, "compare");
  return nanoseconds_ <= rhs.nanoseconds_;
}

bool Time::operator>=(const Time& rhs) const {
  expect_same_clock(rhs, "compare");
  return nanoseconds_ >= rhs.nanoseconds_;
}

bool Time::operator>(const Time& rhs) const {
  expect_same_clock(rhs, "compare");
  return nanoseconds_ > rhs.nanoseconds_;
}

Time Time::operator+(const Duration& rhs) const {
  return Time(detail::checked_add(nanoseconds_, rhs.nanoseconds(), "addition"), clock_type_);
}

Duration Time::operator-(const Time& rhs) const {
  expect_same_clock(rhs, "subtract");
  return Duration::from_nanoseconds(
      detail::checked_sub(nanoseconds_, rhs.nanoseconds_, "time subtraction"));
}

Time Time::operator-(const Duration& rhs) const {
  return Time(detail::checked_sub(nanoseconds_, rhs.nanoseconds(), "time subtraction"),
              clock_type_);
}

Time& Time::operator+=(const Duration& rhs) {
  return *this = *this + rhs;
}

Time& Time::operator-=(const Duration& rhs) {
  return *this = *this - rhs;
}

double Time::seconds() const {
  return std::chrono::duration<double>(std::chrono::nanoseconds(nanoseconds_)).count();
}

Time Time::max() {
  return Time(std::numeric_limits<int32_t>::max(), 999999999);
}

Time operator+(const rclcpp::Duration& lhs, const rclcpp::Time& rhs) {
  return rhs + lhs;
}

}  // namespace rclcpp
