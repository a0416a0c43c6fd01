// rclcpp::ExecutorOptions as in rclcpp/executor_options.hpp (Humble), without a memory strategy.
#ifndef RCLCPP__EXECUTOR_OPTIONS_HPP_
#define RCLCPP__EXECUTOR_OPTIONS_HPP_

#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"

namespace rclcpp {

struct ExecutorOptions {
  ExecutorOptions() : context(rclcpp::contexts::get_global_default_context()) {}

  /// Executors stop spinning when this context shuts down.
  rclcpp::Context::SharedPtr context;
};

}  // namespace rclcpp

#endif  // RCLCPP__EXECUTOR_OPTIONS_HPP_
