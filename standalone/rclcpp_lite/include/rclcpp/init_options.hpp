// rclcpp::InitOptions as in rclcpp/init_options.hpp (Humble).
#ifndef RCLCPP__INIT_OPTIONS_HPP_
#define RCLCPP__INIT_OPTIONS_HPP_

#include <cstddef>

#include "rcl/allocator.h"
#include "rcl/domain_id.h"

namespace rclcpp {

class InitOptions {
public:
  /// Whether SIGINT/SIGTERM shut down the context initialised with these options.
  bool shutdown_on_signal = true;

  /// The allocator is accepted for compatibility; memory comes from the C++ runtime.
  explicit InitOptions(rcl_allocator_t allocator = rcl_get_default_allocator())
      : allocator_(allocator) {}

  bool auto_initialize_logging() const { return initialize_logging_; }
  InitOptions& auto_initialize_logging(bool initialize_logging) {
    initialize_logging_ = initialize_logging;
    return *this;
  }

  void set_domain_id(size_t domain_id) { domain_id_ = domain_id; }
  void use_default_domain_id() { domain_id_ = RCL_DEFAULT_DOMAIN_ID; }
  /// The domain set, or RCL_DEFAULT_DOMAIN_ID (ROS_DOMAIN_ID, else 0).
  size_t get_domain_id() const { return domain_id_; }

private:
  rcl_allocator_t allocator_;
  bool initialize_logging_ = true;
  size_t domain_id_ = RCL_DEFAULT_DOMAIN_ID;
};

}  // namespace rclcpp

#endif  // RCLCPP__INIT_OPTIONS_HPP_
