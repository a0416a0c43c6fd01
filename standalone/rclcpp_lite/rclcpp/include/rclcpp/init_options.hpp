// rclcpp::InitOptions as in rclcpp/init_options.hpp (Humble), without options: rclcpp::init here
// always initialises logging, and takes the domain from ROS_DOMAIN_ID.
#ifndef RCLCPP__INIT_OPTIONS_HPP_
#define RCLCPP__INIT_OPTIONS_HPP_

#include "rcl/allocator.h"

namespace rclcpp {

class InitOptions {
public:
  /// The allocator is accepted for compatibility; memory comes from the C++ runtime.
  explicit InitOptions(rcl_allocator_t /*allocator*/ = rcl_get_default_allocator()) {}
};

}  // namespace rclcpp

#endif  // RCLCPP__INIT_OPTIONS_HPP_
