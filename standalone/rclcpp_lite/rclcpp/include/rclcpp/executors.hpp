// The executors, and rclcpp::spin, as rclcpp/executors.hpp (Humble) offers them.
#ifndef RCLCPP__EXECUTORS_HPP_
#define RCLCPP__EXECUTORS_HPP_

#include "rclcpp/executors/multi_threaded_executor.hpp"
#include "rclcpp/executors/single_threaded_executor.hpp"
#include "rclcpp/node.hpp"

namespace rclcpp {

/// Runs the node's callbacks on a SingleThreadedExecutor until the global context shuts down.
void spin(rclcpp::Node::SharedPtr node_ptr);

}  // namespace rclcpp

#endif  // RCLCPP__EXECUTORS_HPP_
