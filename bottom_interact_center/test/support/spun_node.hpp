// g_node and a peer node spun together by a two-thread executor for the life of the object, so
// that the node's service calls are answered by the services the peer offers.
#ifndef BOTTOM_INTERACT_CENTER_TEST__SPUN_NODE_HPP_
#define BOTTOM_INTERACT_CENTER_TEST__SPUN_NODE_HPP_

#include <atomic>
#include <thread>

#include "rclcpp/rclcpp.hpp"

namespace bottom_interact_center::test {

class SpunNode {
public:
  // The peer's services are created before: they are what the executor finds on its first pass.
  explicit SpunNode(rclcpp::Node::SharedPtr peer);
  ~SpunNode();
  SpunNode(const SpunNode&) = delete;
  SpunNode& operator=(const SpunNode&) = delete;

private:
  rclcpp::Node::SharedPtr peer_;
  rclcpp::executors::MultiThreadedExecutor executor_{rclcpp::ExecutorOptions(), 2};
  std::atomic<bool> spun_out_{false};
  std::thread spinner_;
};

}  // namespace bottom_interact_center::test

#endif  // BOTTOM_INTERACT_CENTER_TEST__SPUN_NODE_HPP_
