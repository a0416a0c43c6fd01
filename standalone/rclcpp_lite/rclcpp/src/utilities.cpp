#include "rclcpp/utilities.hpp"

#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/detail/signal_handler.hpp"

namespace rclcpp {

void init(int argc, char const* const* argv, const InitOptions& init_options,
          SignalHandlerOptions signal_handler_options) {
  contexts::get_global_default_context()->init(argc, argv, init_options);
  if (signal_handler_options == SignalHandlerOptions::All) {
    detail::SignalHandler::get_global_signal_handler().install(
        [] { contexts::get_global_default_context()->shutdown("signal handler"); });
  }
}

bool ok(Context::SharedPtr context) {
  return (context ? context : contexts::get_global_default_context())->is_valid();
}

bool shutdown(Context::SharedPtr context, const std::string& reason) {
  const auto default_context = contexts::get_global_default_context();
  context = context ? context : default_context;
  const bool was_valid = context->shutdown(reason);
  if (context == default_context) {
    detail::SignalHandler::get_global_signal_handler().uninstall();
  }
  return was_valid;
}

}  // namespace rclcpp
