#include "rclcpp/timer.hpp"

#include "rclcpp/detail/wake_signal.hpp"

namespace rclcpp {

namespace {

using Clock = std::chrono::steady_clock;

/// `time + period`, or the end of time where that would overflow (a period of centuries).
Clock::time_point after(Clock::time_point time, std::chrono::nanoseconds period) {
  return period > Clock::time_point::max() - time ? Clock::time_point::max() : time + period;
}

}  // namespace

TimerBase::TimerBase(std::chrono::nanoseconds period)
    : ExecutableEntity(Kind::timer), period_(period), next_call_(after(Clock::now(), period)) {}

void TimerBase::cancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  canceled_ = true;
}

bool TimerBase::is_canceled() {
  std::lock_guard<std::mutex> lock(mutex_);
  return canceled_;
}

void TimerBase::reset() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    next_call_ = after(Clock::now(), period_);
    canceled_ = false;
  }
  // An executor may be waiting for the old due time, or for nothing if the timer was canceled.
  detail::executor_wake_signal()->notify();
}

std::chrono::nanoseconds TimerBase::time_until_trigger() {
  std::lock_guard<std::mutex> lock(mutex_);
  return canceled_ ? std::chrono::nanoseconds::max() : next_call_ - Clock::now();
}

bool TimerBase::is_ready() {
  return ready_hint();
}

bool TimerBase::ready_hint() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !canceled_ && Clock::now() >= next_call_;
}

Clock::time_point TimerBase::next_due() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return canceled_ ? Clock::time_point::max() : next_call_;
}

std::function<void()> TimerBase::take_work() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const Clock::time_point now = Clock::now();
    if (canceled_ || now < next_call_) {
      return {};
    }
    // The next call stays on the grid of periods from the start; the periods a late call missed
    // are skipped, not made up for.
    next_call_ = after(next_call_, period_);
    if (next_call_ < now) {
      if (period_.count() == 0) {
        next_call_ = now;
      } else {
        const auto periods_behind = 1 + (now - next_call_ - std::chrono::nanoseconds(1)) / period_;
        next_call_ += periods_behind * period_;
      }
    }
  }
  return [this] { execute_callback(); };
}

}  // namespace rclcpp
