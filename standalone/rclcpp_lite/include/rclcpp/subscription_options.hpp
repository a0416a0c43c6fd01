// rclcpp::SubscriptionOptions as in rclcpp/subscription_options.hpp (Humble), reduced to the
// callback group.
#ifndef RCLCPP__SUBSCRIPTION_OPTIONS_HPP_
#define RCLCPP__SUBSCRIPTION_OPTIONS_HPP_

#include <memory>

#include "rclcpp/callback_group.hpp"

namespace rclcpp {

template <typename Allocator>
struct SubscriptionOptionsWithAllocator {
  /// The group the subscription's callback runs in; null: the node's default group.
  rclcpp::CallbackGroup::SharedPtr callback_group = nullptr;
  std::shared_ptr<Allocator> allocator = nullptr;
};

using SubscriptionOptions = SubscriptionOptionsWithAllocator<std::allocator<void>>;

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_OPTIONS_HPP_
