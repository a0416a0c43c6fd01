// Counts notifications from middleware threads; tests wait on it with a deadline.
#ifndef MIDDLEWARE_TEST__SIGNAL_COUNTER_HPP_
#define MIDDLEWARE_TEST__SIGNAL_COUNTER_HPP_

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

class SignalCounter {
public:
  void notify();
  /// A callback that notifies this counter.
  std::function<void()> callback();
  /// True once at least `count` notifications arrived, false at the deadline.
  bool wait_for_count(size_t count, std::chrono::milliseconds timeout);
  size_t count() const;

private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  size_t count_ = 0;
};

#endif  // MIDDLEWARE_TEST__SIGNAL_COUNTER_HPP_
