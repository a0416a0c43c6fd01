// rclcpp::Context as in rclcpp/context.hpp (Humble): the state one rclcpp::init creates.
#ifndef RCLCPP__CONTEXT_HPP_
#define RCLCPP__CONTEXT_HPP_

#include <atomic>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "rclcpp/detail/wake_signal.hpp"
#include "rclcpp/init_options.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp_lite {
class Participant;
}  // namespace rclcpp_lite

namespace rclcpp {

namespace detail {
class RosArguments;
}  // namespace detail

class ContextAlreadyInitialized : public std::runtime_error {
public:
  ContextAlreadyInitialized() : std::runtime_error("context is already initialized") {}
};

class Context {
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Context)

  Context();
  /// Shuts the context down if that has not happened yet.
  virtual ~Context();

  /// Reads the ROS arguments and configures logging (once per process while any context uses
  /// it); the DDS domain is ROS_DOMAIN_ID's, else 0. Throws ContextAlreadyInitialized,
  /// RCLError/RCLInvalidROSArgsError for malformed ROS arguments or ROS_DOMAIN_ID,
  /// UnknownROSArgsError for unknown flags inside --ros-args.
  virtual void init(int argc, char const* const* argv,
                    const InitOptions& init_options = InitOptions());

  bool is_valid() const { return valid_; }

  /// Wakes executors and graph waiters; false if the context was not valid.
  virtual bool shutdown(const std::string& reason);

  // rclcpp_lite internals, not part of the rclcpp API:

  /// The arguments given to init().
  std::shared_ptr<const detail::RosArguments> global_arguments() const;
  /// The DDS participant of this context, created on first use. Throws std::runtime_error if it
  /// cannot be created.
  std::shared_ptr<rclcpp_lite::Participant> participant();

private:
  RCLCPP_DISABLE_COPY(Context)

  mutable std::mutex mutex_;
  std::mutex init_mutex_;
  std::atomic<bool> valid_{false};
  size_t domain_id_ = 0;
  std::shared_ptr<const detail::RosArguments> global_arguments_;
  std::shared_ptr<rclcpp_lite::Participant> participant_;
  bool uses_logging_ = false;
  // Held, not looked up, so that a context destroyed late in static destruction can still use it.
  const std::shared_ptr<detail::WakeSignal> wake_signal_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CONTEXT_HPP_
