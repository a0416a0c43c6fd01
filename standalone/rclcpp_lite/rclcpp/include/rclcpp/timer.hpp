// rclcpp::TimerBase and rclcpp::WallTimer as in rclcpp/timer.hpp (Humble): a callback called every
// period of the steady clock by the executor that runs the timer's callback group.
#ifndef RCLCPP__TIMER_HPP_
#define RCLCPP__TIMER_HPP_

#include <chrono>
#include <functional>
#include <mutex>
#include <type_traits>
#include <utility>

#include "rclcpp/detail/executable_entity.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp {

class TimerBase : public detail::ExecutableEntity {
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(TimerBase)

  /// The first call is due one period from now.
  explicit TimerBase(std::chrono::nanoseconds period);

  /// No more calls until reset(); a call running now finishes.
  void cancel();
  bool is_canceled();
  /// Un-cancels the timer; the next call is due one period from now.
  void reset();
  /// Until the next call is due (negative when overdue); nanoseconds::max() when canceled.
  std::chrono::nanoseconds time_until_trigger();
  bool is_ready();

  /// Runs the callback once.
  virtual void execute_callback() = 0;

  // rclcpp_lite internals, not part of the rclcpp API:

  /// Due and not canceled; time makes a timer ready, so there is no hint to consume.
  bool ready_hint() const override;
  bool consume_ready_hint() override { return ready_hint(); }
  std::chrono::steady_clock::time_point next_due() const override;
  /// If the call is due, moves the next one on (as rcl_timer_call does) and returns the callback.
  std::function<void()> take_work() override;

private:
  const std::chrono::nanoseconds period_;
  mutable std::mutex mutex_;
  std::chrono::steady_clock::time_point next_call_;
  bool canceled_ = false;
};

/// FunctorT is called as void() or void(rclcpp::TimerBase &).
template <typename FunctorT>
class WallTimer : public TimerBase {
  static_assert(std::is_invocable_v<FunctorT&> || std::is_invocable_v<FunctorT&, TimerBase&>,
                "a timer callback is void() or void(rclcpp::TimerBase &)");

public:
  RCLCPP_SMART_PTR_DEFINITIONS(WallTimer)

  WallTimer(std::chrono::nanoseconds period, FunctorT&& callback)
      : TimerBase(period), callback_(std::move(callback)) {}

  void execute_callback() override {
    if constexpr (std::is_invocable_v<FunctorT&, TimerBase&>) {
      callback_(*this);
    } else {
      callback_();
    }
  }

private:
  FunctorT callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__TIMER_HPP_
