// What an executor runs: a timer that is due, or a subscription, service or client with data to
// handle.
#ifndef RCLCPP__DETAIL__EXECUTABLE_ENTITY_HPP_
#define RCLCPP__DETAIL__EXECUTABLE_ENTITY_HPP_

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "rclcpp/detail/wake_signal.hpp"
#include "rclcpp_lite/middleware.hpp"

namespace rclcpp {
namespace detail {

class ExecutableEntity {
public:
  /// Of the entities found ready, an executor takes those of an earlier kind first, as rclcpp's
  /// executor takes timers first, then subscriptions, services and clients.
  enum class Kind { timer, subscription, service, client };

  explicit ExecutableEntity(Kind kind)
      : kind_(kind),
        ready_hint_(std::make_shared<std::atomic<bool>>(true)),
        wake_signal_(executor_wake_signal()) {}
  virtual ~ExecutableEntity() = default;

  ExecutableEntity(const ExecutableEntity&) = delete;
  ExecutableEntity& operator=(const ExecutableEntity&) = delete;

  Kind kind() const { return kind_; }

  /// Takes one waiting message, request or response from the middleware and returns the work
  /// that handles it, or an empty function if nothing waits. One executor thread at a time.
  virtual std::function<void()> take_work() = 0;

  /// Whether data may have arrived since the hint was last consumed.
  virtual bool ready_hint() const { return ready_hint_->load(); }
  /// Whether data may have arrived since the last call; clears the hint. An executor clears it
  /// before take_work() so that data arriving during the take sets it again.
  virtual bool consume_ready_hint() { return ready_hint_->exchange(false); }
  /// Sets the hint again after a successful take: more may be waiting.
  void set_ready_hint() { ready_hint_->store(true); }
  /// When time makes the entity ready (a timer's next call); time_point::max() for entities that
  /// data makes ready, and for a canceled timer.
  virtual std::chrono::steady_clock::time_point next_due() const {
    return std::chrono::steady_clock::time_point::max();
  }

protected:
  /// The middleware's data-ready callback: sets the hint and wakes the executors. It holds what
  /// it touches, so it stays safe however late the middleware calls it.
  rclcpp_lite::DataReadyCallback data_ready_callback() const {
    return [hint = ready_hint_, wake_signal = wake_signal_] {
      hint->store(true);
      wake_signal->notify();
    };
  }

private:
  const Kind kind_;
  const std::shared_ptr<std::atomic<bool>> ready_hint_;
  const std::shared_ptr<WakeSignal> wake_signal_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__EXECUTABLE_ENTITY_HPP_
