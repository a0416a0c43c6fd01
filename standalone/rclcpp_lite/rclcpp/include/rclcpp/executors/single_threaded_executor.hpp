// rclcpp::executors::SingleThreadedExecutor as in Humble: callbacks run on the spinning thread.
#ifndef RCLCPP__EXECUTORS__SINGLE_THREADED_EXECUTOR_HPP_
#define RCLCPP__EXECUTORS__SINGLE_THREADED_EXECUTOR_HPP_

#include "rclcpp/executor.hpp"

namespace rclcpp {
namespace executors {

class SingleThreadedExecutor : public rclcpp::Executor {
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(SingleThreadedExecutor)

  explicit SingleThreadedExecutor(
      const rclcpp::ExecutorOptions& options = rclcpp::ExecutorOptions());
  ~SingleThreadedExecutor() override;

  /// Runs callbacks one by one on this thread until cancel() or the context shuts down; an
  /// exception from a callback ends spin() and passes on.
  void spin() override;
};

}  // namespace executors
}  // namespace rclcpp

#endif  // RCLCPP__EXECUTORS__SINGLE_THREADED_EXECUTOR_HPP_
