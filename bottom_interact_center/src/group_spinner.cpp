#include "bottom_interact_center/group_spinner.hpp"

#include <chrono>

namespace bottom_interact_center {

GroupSpinner::GroupSpinner(rclcpp::CallbackGroup::SharedPtr group,
                           rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node)
    : spin_ended_(spin_returned_.get_future()) {
  executor_.add_callback_group(group, node);
  thread_ = std::thread([this] {
    executor_.spin();
    spin_returned_.set_value();
  });
}

GroupSpinner::~GroupSpinner() {
  Stop();
}

void GroupSpinner::Stop() {
  if (!thread_.joinable()) {
    return;
  }
  // A cancel that comes before the thread has begun to spin is not remembered: repeat it.
  constexpr std::chrono::milliseconds kCancelRepeat{10};
  executor_.cancel();
  while (spin_ended_.wait_for(kCancelRepeat) != std::future_status::ready) {
    executor_.cancel();
  }
  thread_.join();
}

}  // namespace bottom_interact_center
