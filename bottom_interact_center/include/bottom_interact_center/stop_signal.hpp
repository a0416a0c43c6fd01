// A thread's request to stop, which ends its periodic waits at once.
#ifndef BOTTOM_INTERACT_CENTER__STOP_SIGNAL_HPP_
#define BOTTOM_INTERACT_CENTER__STOP_SIGNAL_HPP_

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace bottom_interact_center {

class StopSignal {
public:
  // Wakes every wait; later waits return at once.
  void Request() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      requested_ = true;
    }
    changed_.notify_all();
  }
  bool Requested() const { return requested_; }
  // Waits for the period, or less once the stop is requested; true when it is.
  template <typename Rep, typename Period>
  bool WaitFor(std::chrono::duration<Rep, Period> period) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, period, [this] { return requested_.load(); });
  }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::atomic<bool> requested_{false};
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__STOP_SIGNAL_HPP_
