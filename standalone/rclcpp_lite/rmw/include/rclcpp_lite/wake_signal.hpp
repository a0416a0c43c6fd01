// A generation counter that threads wait on: whoever changes what they wait for bumps it, and a
// waiter that read the generation before looking wakes on any change since. Executors wait on
// one for work, service clients on a participant's for the graph.
#ifndef RCLCPP_LITE__WAKE_SIGNAL_HPP_
#define RCLCPP_LITE__WAKE_SIGNAL_HPP_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace rclcpp_lite {

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
  /// False on timeout.
  bool wait_for_change(uint64_t seen, std::chrono::nanoseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    auto changed = [&] { return generation_ != seen; };
    if (timeout < std::chrono::nanoseconds::zero()) {
      changed_.wait(lock, changed);
      return true;
    }
    return changed_.wait_for(lock, timeout, changed);
  }

private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  uint64_t generation_ = 0;
};

}  // namespace rclcpp_lite

#endif  // RCLCPP_LITE__WAKE_SIGNAL_HPP_
