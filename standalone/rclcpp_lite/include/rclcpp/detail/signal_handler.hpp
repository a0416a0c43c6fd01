// The SIGINT/SIGTERM handler: the handler itself only chains to the previous handler and writes
// the signal number to a pipe (one per process, never closed); a thread of its own logs it and
// shuts the contexts down.
#ifndef RCLCPP__DETAIL__SIGNAL_HANDLER_HPP_
#define RCLCPP__DETAIL__SIGNAL_HANDLER_HPP_

#include <signal.h>

#include <mutex>
#include <thread>

#include "rclcpp/utilities.hpp"

namespace rclcpp {
namespace detail {

class SignalHandler {
public:
  static SignalHandler& get_global_signal_handler();

  bool install(SignalHandlerOptions options);
  bool uninstall();
  bool is_installed();
  SignalHandlerOptions get_current_signal_handler_options();

  ~SignalHandler();

private:
  SignalHandler() = default;
  SignalHandler(const SignalHandler&) = delete;
  SignalHandler& operator=(const SignalHandler&) = delete;

  static void handle_signal(int signum, siginfo_t* info, void* context);
  static void chain_to_old_handler(const struct sigaction& old_action, int signum, siginfo_t* info,
                                   void* context);
  /// Runs on the deferred thread until uninstall() writes 0.
  void run_deferred_handler(int read_fd);

  std::mutex mutex_;
  bool installed_ = false;
  SignalHandlerOptions options_ = SignalHandlerOptions::None;
  std::thread deferred_thread_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__SIGNAL_HANDLER_HPP_
