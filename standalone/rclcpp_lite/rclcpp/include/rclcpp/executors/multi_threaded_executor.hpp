// rclcpp::executors::MultiThreadedExecutor as in Humble: callbacks of different groups, and of
// one Reentrant group, run in parallel on a pool of threads.
#ifndef RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_
#define RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_

#include <cstddef>

#include "rclcpp/executor.hpp"

namespace rclcpp {
namespace executors {

class MultiThreadedExecutor : public rclcpp::Executor {
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(MultiThreadedExecutor)

  /// number_of_threads 0: std::thread::hardware_concurrency(), or 1 if that is 0.
  /// yield_before_execute: each thread yields once before running a callback.
  explicit MultiThreadedExecutor(const rclcpp::ExecutorOptions& options = rclcpp::ExecutorOptions(),
                                 size_t number_of_threads = 0, bool yield_before_execute = false);
  ~MultiThreadedExecutor() override;

  /// Runs number_of_threads threads (the calling one among them) until cancel() or the context
  /// shuts down, and returns once all have finished.
  void spin() override;

private:
  const size_t number_of_threads_;
  const bool yield_before_execute_;
};

}  // namespace executors
}  // namespace rclcpp

#endif  // RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_
