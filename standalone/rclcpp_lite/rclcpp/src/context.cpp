#include "rclcpp/context.hpp"

#include <cerrno>
#include <cstdlib>

#include "rcl/types.h"
#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/detail/rosout.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/logging.hpp"
#include "rclcpp_lite/middleware.hpp"
#include "rcutils/error_handling.h"
#include "rcutils/logging.h"

namespace rclcpp {

namespace {

const char kInitErrorPrefix[] = "failed to initialize rcl: ";

// Logging is configured by the first context that initialises it and stays so while any
// context using it is valid, as rclcpp's logging reference count does.
std::mutex g_logging_mutex;
size_t g_logging_users = 0;

std::atomic<bool> g_stdout_logs{true};

/// Each line to the console (unless --disable-stdout-logs) and, for node loggers, to /rosout.
void log_output(const rcutils_log_location_t* location, int severity, const char* name,
                rcutils_time_point_value_t timestamp, const char* format, va_list* args) {
  if (g_stdout_logs.load(std::memory_order_relaxed)) {
    rcutils_logging_console_output_handler(location, severity, name, timestamp, format, args);
  }
  detail::Rosout::publish(location, severity, name, timestamp, format, args);
}

void configure_logging(const detail::RosArguments& arguments) {
  if (rcutils_logging_initialize() != RCUTILS_RET_OK) {
    throw exceptions::RCLError(RCL_RET_ERROR, "rcutils logging failed to initialize",
                               kInitErrorPrefix);
  }
  g_stdout_logs = arguments.stdout_logs_enabled();
  detail::Rosout::set_enabled(arguments.rosout_logs_enabled());
  rcutils_logging_set_output_handler(log_output);
  if (arguments.default_log_level() >= 0) {
    rcutils_logging_set_default_logger_level(arguments.default_log_level());
  }
  for (const auto& [logger, level] : arguments.logger_levels()) {
    if (rcutils_logging_set_logger_level(logger.c_str(), level) != RCUTILS_RET_OK) {
      rcutils_reset_error();
      throw exceptions::RCLError(
          RCL_RET_ERROR, "failed to set the level of logger '" + logger + "'", kInitErrorPrefix);
    }
  }
}

void acquire_logging(const detail::RosArguments& arguments) {
  std::lock_guard<std::mutex> lock(g_logging_mutex);
  if (g_logging_users == 0) {
    configure_logging(arguments);
  } else {
    RCLCPP_WARN(get_logger("rclcpp"), "logging was initialized more than once");
  }
  ++g_logging_users;
}

/// ROS_DOMAIN_ID, read as rcl reads it (strtoul, base 0); 0 when unset or empty.
size_t default_domain_id() {
  const char* text = std::getenv("ROS_DOMAIN_ID");
  if (text == nullptr || *text == '\0') {
    return 0;
  }
  errno = 0;
  char* end = nullptr;
  const unsigned long domain_id = std::strtoul(text, &end, 0);  // NOLINT(runtime/int)
  if (errno != 0 || *end != '\0') {
    throw exceptions::RCLError(
        RCL_RET_ERROR, std::string("ROS_DOMAIN_ID is not an integral number: '") + text + "'",
        kInitErrorPrefix);
  }
  return domain_id;
}

}  // namespace

Context::Context() : wake_signal_(detail::executor_wake_signal()) {}

Context::~Context() {
  if (!is_valid()) {
    return;
  }
  try {
    shutdown("context destructor was called while still not shutdown");
  } catch (const std::exception& error) {
    RCLCPP_ERROR(get_logger("rclcpp"), "unhandled exception in ~Context(): %s", error.what());
  }
}

void Context::init(int argc, char const* const* argv, const InitOptions& /*init_options*/) {
  std::lock_guard<std::mutex> init_lock(init_mutex_);
  if (is_valid()) {
    throw ContextAlreadyInitialized();
  }
  if (argc > 0 && argv == nullptr) {
    throw exceptions::RCLError(RCL_RET_INVALID_ARGUMENT, "argv is null with argc > 0",
                               kInitErrorPrefix);
  }
  auto arguments = std::make_shared<detail::RosArguments>(
      detail::RosArguments::parse(std::vector<std::string>(argv, argv + argc), kInitErrorPrefix));
  const size_t domain_id = default_domain_id();
  if (!arguments->unknown_ros_args().empty()) {
    std::vector<std::string> unknown = arguments->unknown_ros_args();
    throw exceptions::UnknownROSArgsError(std::move(unknown));
  }
  acquire_logging(*arguments);
  std::lock_guard<std::mutex> lock(mutex_);
  domain_id_ = domain_id;
  global_arguments_ = arguments;
  participant_.reset();
  uses_logging_ = true;
  valid_ = true;
}

bool Context::shutdown(const std::string& /*reason*/) {
  std::shared_ptr<rclcpp_lite::Participant> participant;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!valid_) {
      return false;
    }
    valid_ = false;
    participant = participant_;
  }
  wake_signal_->notify();
  if (participant) {
    participant->wake_graph_waiters();
  }
  std::lock_guard<std::mutex> lock(g_logging_mutex);
  if (uses_logging_ && g_logging_users > 0) {
    --g_logging_users;
  }
  uses_logging_ = false;
  return true;
}

std::shared_ptr<const detail::RosArguments> Context::global_arguments() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return global_arguments_;
}

std::shared_ptr<rclcpp_lite::Participant> Context::participant() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!participant_) {
    participant_ = rclcpp_lite::Participant::create(domain_id_);
  }
  return participant_;
}

}  // namespace rclcpp
