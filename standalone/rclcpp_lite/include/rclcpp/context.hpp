// rclcpp::Context as in rclcpp/context.hpp (Humble): the state one rclcpp::init creates.
#ifndef RCLCPP__CONTEXT_HPP_
#define RCLCPP__CONTEXT_HPP_

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/detail/wake_signal.hpp"
#include "rclcpp/init_options.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp_lite {
class Participant;
}  // namespace rclcpp_lite

namespace rclcpp {

class ContextAlreadyInitialized : public std::runtime_error {
public:
  ContextAlreadyInitialized() : std::runtime_error("context is already initialized") {}
};

class Context : public std::enable_shared_from_this<Context> {
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Context)

  using OnShutdownCallback = std::function<void()>;

  Context();
  /// Shuts the context down if that has not happened yet.
  virtual ~Context();

  /// Reads the ROS arguments and configures logging (once per process while any context uses
  /// it). Throws std::runtime_error for a context not owned by a shared_ptr,
  /// ContextAlreadyInitialized, RCLError/RCLInvalidROSArgsError for malformed ROS
  /// arguments, UnknownROSArgsError for unknown flags inside --ros-args.
  virtual void init(int argc, char const* const* argv,
                    const InitOptions& init_options = InitOptions());

  bool is_valid() const { return valid_; }

  /// A copy, taken under the lock, since init() may assign the options meanwhile.
  InitOptions get_init_options() const;

  /// The DDS domain in use (valid after init).
  size_t get_domain_id() const;

  std::string shutdown_reason() const;

  /// Runs the on-shutdown callbacks and wakes executors and graph waiters; false if the context
  /// was not valid.
  virtual bool shutdown(const std::string& reason);

  virtual OnShutdownCallback on_shutdown(OnShutdownCallback callback);
  std::vector<OnShutdownCallback> get_on_shutdown_callbacks() const;

  // rclcpp_lite internals, not part of the rclcpp API:

  /// The arguments given to init().
  std::shared_ptr<const detail::RosArguments> global_arguments() const;
  /// The DDS participant of this context, created on first use. Throws std::runtime_error if it
  /// cannot be created.
  std::shared_ptr<rclcpp_lite::Participant> participant();

private:
  RCLCPP_DISABLE_COPY(Context)

  void release_logging();

  mutable std::mutex mutex_;
  std::mutex init_mutex_;
  std::atomic<bool> valid_{false};
  InitOptions init_options_;
  size_t domain_id_ = 0;
  std::shared_ptr<const detail::RosArguments> global_arguments_;
  std::string shutdown_reason_;
  std::vector<OnShutdownCallback> on_shutdown_callbacks_;
  std::shared_ptr<rclcpp_lite::Participant> participant_;
  bool uses_logging_ = false;
  // Held, not looked up, so that a context destroyed late in static destruction can still use it.
  const std::shared_ptr<detail::WakeSignal> wake_signal_;
};

namespace detail {

/// Every initialised context still alive (for the signal handler).
std::vector<Context::SharedPtr> initialized_contexts();

}  // namespace detail

}  // namespace rclcpp

#endif  // RCLCPP__CONTEXT_HPP_
