// int64 nanosecond arithmetic that reports overflow the way rclcpp's Time and Duration do.
#ifndef RCLCPP__DETAIL__CHECKED_ARITHMETIC_HPP_
#define RCLCPP__DETAIL__CHECKED_ARITHMETIC_HPP_

#include <cstdint>
#include <stdexcept>
#include <string>

namespace rclcpp {
namespace detail {

/// Throws std::overflow_error / std::underflow_error "<operation> leads to int64_t overflow".
inline int64_t checked_add(int64_t lhs, int64_t rhs, const std::string& operation) {
  int64_t sum = 0;
  if (__builtin_add_overflow(lhs, rhs, &sum)) {
    if (rhs > 0) {
      throw std::overflow_error(operation + " leads to int64_t overflow");
    }
    throw std::underflow_error(operation + " leads to int64_t underflow");
  }
  return sum;
}

inline int64_t checked_sub(int64_t lhs, int64_t rhs, const std::string& operation) {
  int64_t difference = 0;
  if (__builtin_sub_overflow(lhs, rhs, &difference)) {
    if (rhs < 0) {
      throw std::overflow_error(operation + " leads to int64_t overflow");
    }
    throw std::underflow_error(operation + " leads to int64_t underflow");
  }
  return difference;
}

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__CHECKED_ARITHMETIC_HPP_
