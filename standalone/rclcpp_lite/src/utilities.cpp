#include "rclcpp/utilities.hpp"

#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/detail/signal_handler.hpp"

namespace rclcpp {

namespace {

Context::SharedPtr or_default(Context::SharedPtr context) {
  return context ? context : contexts::get_global_default_context();
}

}  // namespace

void init(int argc, char const* const* argv, const InitOptions& init_options,
          SignalHandlerOptions signal_handler_options) {
  contexts::get_global_default_context()->init(argc, argv, init_options);
  install_signal_handlers(signal_handler_options);
}

bool install_signal_handlers(SignalHandlerOptions signal_handler_options) {
  return detail::SignalHandler::get_global_signal_handler().install(signal_handler_options);
}

bool signal_handlers_installed() {
  return detail::SignalHandler::get_global_signal_handler().is_installed();
}

SignalHandlerOptions get_current_signal_handler_options() {
  return detail::SignalHandler::get_global_signal_handler().get_current_signal_handler_options();
}

bool uninstall_signal_handlers() {
  return detail::SignalHandler::get_global_signal_handler().uninstall();
}

bool ok(Context::SharedPtr context) {
  return or_default(context)->is_valid();
}

bool shutdown(Context::SharedPtr context, const std::string& reason) {
  const auto default_context = contexts::get_global_default_context();
  context = or_default(context);
  const bool was_valid = context->shutdown(reason);
  if (context == default_context) {
    uninstall_signal_handlers();
  }
  return was_valid;
}

void on_shutdown(std::function<void()> callback, Context::SharedPtr context) {
  or_default(context)->on_shutdown(callback);
}

}  // namespace rclcpp
