// rclcpp::PublisherOptions as in rclcpp/publisher_options.hpp (Humble), reduced to the callback
// group.
#ifndef RCLCPP__PUBLISHER_OPTIONS_HPP_
#define RCLCPP__PUBLISHER_OPTIONS_HPP_

#include <memory>

#include "rclcpp/callback_group.hpp"

namespace rclcpp {

template <typename Allocator>
struct PublisherOptionsWithAllocator {
  /// Publishers run no callbacks here; kept so that code setting it compiles.
  rclcpp::CallbackGroup::SharedPtr callback_group = nullptr;
  std::shared_ptr<Allocator> allocator = nullptr;
};

using PublisherOptions = PublisherOptionsWithAllocator<std::allocator<void>>;

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_OPTIONS_HPP_
