// The SIGINT/SIGTERM handler: the handler itself only chains to the previous handler and writes
// the signal number to a pipe (one per process, never closed); a thread of its own logs it and
// runs what the installer asked for (rclcpp::init: shutting the global default context down).
#ifndef RCLCPP__DETAIL__SIGNAL_HANDLER_HPP_
#define RCLCPP__DETAIL__SIGNAL_HANDLER_HPP_

#include <signal.h>

#include <functional>
#include <mutex>
#include <thread>

namespace rclcpp {
namespace detail {

class SignalHandler {
public:
  static SignalHandler& get_global_signal_handler();

  /// Both do nothing if the handlers are installed already, or not at all. `on_signal` runs on
  /// the handler's thread after each SIGINT or SIGTERM.
  void install(std::function<void()> on_signal);
  void uninstall();

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
  std::function<void()> on_signal_;
  std::thread deferred_thread_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__SIGNAL_HANDLER_HPP_
