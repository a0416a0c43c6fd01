// rclcpp::executors::MultiThreadedExecutor as in Humble: callbacks of different groups, and of
// one Reentrant group, run in parallel on a pool of threads.
#ifndef RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_
#define RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_

#include <chrono>
#include <cstddef>

#include "rclcpp/executor.hpp"

namespace rclcpp {
namespace executors {

class MultiThreadedExecutor : public rclcpp::Executor {
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(MultiThreadedExecutor)

  /// number_of_threads 0: std::thread::hardware_concurrency(), or 1 if that is 0.
  /// yield_before_execute: each thread yields once before running a callback.
  /// timeout: the longest a thread waits for work before looking again (negative: no limit).
  explicit MultiThreadedExecutor(const rclcpp::ExecutorOptions& options = rclcpp::ExecutorOptions(),
                                 size_t number_of_threads = 0, bool yield_before_execute = false,
                                 std::chrono::nanoseconds timeout = std::chrono::nanoseconds(-1));
  ~MultiThreadedExecutor() override;

  /// Runs number_of_threads threads (the calling one among them) until cancel() or the context
  /// shuts down, and returns once all have finished.
  void spin() override;

  size_t get_number_of_threads() const { return number_of_threads_; }

private:
  const size_t number_of_threads_;
  const bool yield_before_execute_;
  const std::chrono::nanoseconds next_exec_timeout_;
};

}  // namespace executors
}  // namespace rclcpp

#endif  // RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_
