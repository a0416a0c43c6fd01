// rclcpp::init, ok and shutdown, as in rclcpp/utilities.hpp (Humble).
#ifndef RCLCPP__UTILITIES_HPP_
#define RCLCPP__UTILITIES_HPP_

#include <string>

#include "rclcpp/context.hpp"
#include "rclcpp/init_options.hpp"

namespace rclcpp {

/// Which signals rclcpp::init handles: with All, SIGINT and SIGTERM shut the global default
/// context down (after whatever handler was installed before has run).
enum class SignalHandlerOptions { All, None };

/// Initialises the global default context (see Context::init) and installs the signal handlers.
void init(int argc, char const* const* argv, const InitOptions& init_options = InitOptions(),
          SignalHandlerOptions signal_handler_options = SignalHandlerOptions::All);

/// Whether the context (null: the global default one) is initialised and not shut down.
bool ok(rclcpp::Context::SharedPtr context = nullptr);

/// Shuts the context (null: the global default one) down; for the global default context also
/// puts back the signal actions found at init. False if it was not valid.
bool shutdown(rclcpp::Context::SharedPtr context = nullptr,
              const std::string& reason = "user called rclcpp::shutdown()");

}  // namespace rclcpp

#endif  // RCLCPP__UTILITIES_HPP_
