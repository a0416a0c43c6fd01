#include "rclcpp/executors/single_threaded_executor.hpp"

#include <stdexcept>

#include "rcpputils/scope_exit.hpp"

namespace rclcpp {
namespace executors {

SingleThreadedExecutor::SingleThreadedExecutor(const ExecutorOptions& options)
    : Executor(options) {}

SingleThreadedExecutor::~SingleThreadedExecutor() = default;

void SingleThreadedExecutor::spin() {
  if (spinning.exchange(true)) {
    throw std::runtime_error("spin() called while already spinning");
  }
  auto stop_spinning = rcpputils::make_scope_exit([this] { spinning.store(false); });
  run_until_stopped(false);
}

}  // namespace executors
}  // namespace rclcpp
