// Wakes executor threads waiting for work: middleware threads bump it when data arrives,
// executors when a callback group becomes free, timers when reset, contexts when they shut down.
#ifndef RCLCPP__DETAIL__WAKE_SIGNAL_HPP_
#define RCLCPP__DETAIL__WAKE_SIGNAL_HPP_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace rclcpp {
namespace detail {

class WakeSignal {
public:
  uint64_t generation() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return generation_;
  }

  /// Never blocks for long: safe from middleware listener threads.
  void notify() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++generation_;
    }
    changed_.notify_all();
  }

  /// Waits until generation() != seen or the timeout passes; a negative timeout waits forever.
  void wait_for_change(uint64_t seen, std::chrono::nanoseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    auto changed = [&] { return generation_ != seen; };
    if (timeout < std::chrono::nanoseconds::zero()) {
      changed_.wait(lock, changed);
    } else {
      changed_.wait_for(lock, timeout, changed);
    }
  }

private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  uint64_t generation_ = 0;
};

/// The one signal of the process; shared ownership keeps it alive for middleware threads that
/// outlive static destruction order.
std::shared_ptr<WakeSignal> executor_wake_signal();

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__WAKE_SIGNAL_HPP_
