#include "rclcpp/executors/multi_threaded_executor.hpp"

#include <stdexcept>
#include <thread>
#include <vector>

#include "rcpputils/scope_exit.hpp"

namespace rclcpp {
namespace executors {

namespace {

size_t thread_count_or_default(size_t number_of_threads) {
  if (number_of_threads != 0) {
    return number_of_threads;
  }
  const size_t hardware_threads = std::thread::hardware_concurrency();
  return hardware_threads != 0 ? hardware_threads : 1;
}

}  // namespace

MultiThreadedExecutor::MultiThreadedExecutor(const ExecutorOptions& options,
                                             size_t number_of_threads, bool yield_before_execute)
    : Executor(options),
      number_of_threads_(thread_count_or_default(number_of_threads)),
      yield_before_execute_(yield_before_execute) {}

MultiThreadedExecutor::~MultiThreadedExecutor() = default;

void MultiThreadedExecutor::spin() {
  if (spinning.exchange(true)) {
    throw std::runtime_error("spin() called while already spinning");
  }
  auto stop_spinning = rcpputils::make_scope_exit([this] { spinning.store(false); });
  std::vector<std::thread> threads;
  auto join_all = [&threads] {
    for (auto& thread : threads) {
      thread.join();
    }
  };
  for (size_t i = 1; i < number_of_threads_; ++i) {
    threads.emplace_back([this] { run_until_stopped(yield_before_execute_); });
  }
  try {
    run_until_stopped(yield_before_execute_);
  } catch (...) {
    cancel();
    join_all();
    throw;
  }
  join_all();
}

}  // namespace executors
}  // namespace rclcpp
