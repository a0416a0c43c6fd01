// The signal that wakes executor threads waiting for work: middleware threads bump it when data
// arrives, executors when a callback group becomes free, timers when reset, contexts when they
// shut down.
#ifndef RCLCPP__DETAIL__WAKE_SIGNAL_HPP_
#define RCLCPP__DETAIL__WAKE_SIGNAL_HPP_

#include <memory>

#include "rclcpp_lite/wake_signal.hpp"

namespace rclcpp {
namespace detail {

using rclcpp_lite::WakeSignal;

/// The one signal of the process; shared ownership keeps it alive for middleware threads that
/// outlive static destruction order.
std::shared_ptr<WakeSignal> executor_wake_signal();

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__WAKE_SIGNAL_HPP_
