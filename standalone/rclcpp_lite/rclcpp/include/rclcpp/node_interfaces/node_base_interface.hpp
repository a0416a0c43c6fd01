// rclcpp::node_interfaces::NodeBaseInterface as in Humble: the members an executor needs to take
// callback groups of a node one by one (Executor::add_callback_group).
#ifndef RCLCPP__NODE_INTERFACES__NODE_BASE_INTERFACE_HPP_
#define RCLCPP__NODE_INTERFACES__NODE_BASE_INTERFACE_HPP_

#include <atomic>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp {
namespace node_interfaces {

class NodeBaseInterface {
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeBaseInterface)

  virtual ~NodeBaseInterface() = default;

  virtual const char* get_name() const = 0;
  virtual const char* get_namespace() const = 0;
  virtual const char* get_fully_qualified_name() const = 0;
  virtual rclcpp::Context::SharedPtr get_context() = 0;
  /// Whether the node created `group`.
  virtual bool callback_group_in_node(rclcpp::CallbackGroup::SharedPtr group) = 0;
  /// Set while the node is in an executor (add_node).
  virtual std::atomic_bool& get_associated_with_executor_atomic() = 0;
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // RCLCPP__NODE_INTERFACES__NODE_BASE_INTERFACE_HPP_
