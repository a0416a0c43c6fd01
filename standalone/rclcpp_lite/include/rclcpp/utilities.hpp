// rclcpp::init, ok, shutdown and the signal handler switches, as in rclcpp/utilities.hpp (Humble).
#ifndef RCLCPP__UTILITIES_HPP_
#define RCLCPP__UTILITIES_HPP_

#include <string>

#include "rclcpp/context.hpp"
#include "rclcpp/init_options.hpp"

namespace rclcpp {

/// Which signals rclcpp::init handles: SIGINT and SIGTERM shut down every context whose
/// InitOptions::shutdown_on_signal is set.
enum class SignalHandlerOptions { All, SigInt, SigTerm, None };

/// Initialises the global default context (see Context::init) and installs the signal handlers.
void init(int argc, char const* const* argv, const InitOptions& init_options = InitOptions(),
          SignalHandlerOptions signal_handler_options = SignalHandlerOptions::All);

/// Installs the handlers unless they are installed already; true if this call installed them.
bool install_signal_handlers(
    SignalHandlerOptions signal_handler_options = SignalHandlerOptions::All);
bool signal_handlers_installed();
SignalHandlerOptions get_current_signal_handler_options();
/// Restores the handlers that were there before; false if none were installed.
bool uninstall_signal_handlers();

/// Whether the context (null: the global default one) is initialised and not shut down.
bool ok(rclcpp::Context::SharedPtr context = nullptr);

/// Shuts the context (null: the global default one) down; for the global default context also
/// uninstalls the signal handlers. False if it was not valid.
bool shutdown(rclcpp::Context::SharedPtr context = nullptr,
              const std::string& reason = "user called rclcpp::shutdown()");

/// Registers a callback run when the context (null: the global default one) shuts down.
void on_shutdown(std::function<void()> callback, rclcpp::Context::SharedPtr context = nullptr);

}  // namespace rclcpp

#endif  // RCLCPP__UTILITIES_HPP_
