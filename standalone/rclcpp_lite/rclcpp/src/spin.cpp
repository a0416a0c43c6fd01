#include "rclcpp/executors.hpp"

namespace rclcpp {

void spin(rclcpp::Node::SharedPtr node_ptr) {
  executors::SingleThreadedExecutor executor;
  executor.add_node(node_ptr);
  executor.spin();
  executor.remove_node(node_ptr);
}

}  // namespace rclcpp
