// One callback group of a node served by an executor of its own, spun on a thread this object
// owns: the group's callbacks run even while every thread of the node's other executor is busy.
#ifndef BOTTOM_INTERACT_CENTER__GROUP_SPINNER_HPP_
#define BOTTOM_INTERACT_CENTER__GROUP_SPINNER_HPP_

#include <future>
#include <thread>

#include "rclcpp/rclcpp.hpp"

namespace bottom_interact_center {

class GroupSpinner {
public:
  // The group must not be in an executor yet: one created with
  // automatically_add_to_executor_with_node = false. Spins until Stop or ROS shutdown.
  GroupSpinner(rclcpp::CallbackGroup::SharedPtr group,
               rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node);
  ~GroupSpinner();
  GroupSpinner(const GroupSpinner&) = delete;
  GroupSpinner& operator=(const GroupSpinner&) = delete;

  // Returns once the thread has ended: no callback of the group runs any more. Idempotent.
  void Stop();

private:
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::promise<void> spin_returned_;
  std::future<void> spin_ended_;
  std::thread thread_;
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__GROUP_SPINNER_HPP_
