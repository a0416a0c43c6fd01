// Nodes spun by a two-thread executor for the life of the object: g_node with a peer whose
// services answer its calls, or a test's own listening node.
#ifndef BOTTOM_INTERACT_CENTER_TEST__SPUN_NODES_HPP_
#define BOTTOM_INTERACT_CENTER_TEST__SPUN_NODES_HPP_

#include <atomic>
#include <thread>
#include <vector>

#include "rclcpp/rclcpp.hpp"

namespace bottom_interact_center::test {

class SpunNodes {
public:
  // The nodes' services and subscriptions are created before: they are what the executor finds
  // on its first pass.
  explicit SpunNodes(std::vector<rclcpp::Node::SharedPtr> nodes);
  ~SpunNodes();
  SpunNodes(const SpunNodes&) = delete;
  SpunNodes& operator=(const SpunNodes&) = delete;

private:
  std::vector<rclcpp::Node::SharedPtr> nodes_;
  rclcpp::executors::MultiThreadedExecutor executor_{rclcpp::ExecutorOptions(), 2};
  std::atomic<bool> spun_out_{false};
  std::thread spinner_;
};

}  // namespace bottom_interact_center::test

#endif  // BOTTOM_INTERACT_CENTER_TEST__SPUN_NODES_HPP_
