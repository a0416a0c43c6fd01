#include "rclcpp/detail/wake_signal.hpp"

namespace rclcpp {
namespace detail {

std::shared_ptr<WakeSignal> executor_wake_signal() {
  static const std::shared_ptr<WakeSignal> signal = std::make_shared<WakeSignal>();
  return signal;
}

}  // namespace detail
}  // namespace rclcpp
