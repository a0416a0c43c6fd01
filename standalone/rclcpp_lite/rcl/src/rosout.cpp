#include "rclcpp/detail/rosout.hpp"

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <vector>

#include "rclcpp/time.hpp"
#include "rcutils/logging_macros.h"

namespace rclcpp {
namespace detail {

namespace {

// Held only to copy a node's NodeRosout out.
std::mutex g_nodes_mutex;
std::map<std::string, std::weak_ptr<NodeRosout>> g_nodes;
std::atomic<bool> g_enabled{false};

// Set on the threads that publish lines: what they log must not be queued for them again.
thread_local bool t_publishing = false;

std::shared_ptr<NodeRosout> rosout_of(const char* logger_name) {
  std::lock_guard<std::mutex> lock(g_nodes_mutex);
  const auto found = g_nodes.find(logger_name);
  return found == g_nodes.end() ? nullptr : found->second.lock();
}

/// The formatted line, as rcl formats it for /rosout.
std::string format_message(const char* format, va_list* args) {
  char line[1024];
  va_list copy;
  va_copy(copy, *args);
  const int length = std::vsnprintf(line, sizeof(line), format, copy);
  va_end(copy);
  if (length < 0) {
    return "";
  }
  if (static_cast<size_t>(length) < sizeof(line)) {
    return std::string(line, static_cast<size_t>(length));
  }
  std::vector<char> long_line(static_cast<size_t>(length) + 1);
  va_copy(copy, *args);
  std::vsnprintf(long_line.data(), long_line.size(), format, copy);
  va_end(copy);
  return std::string(long_line.data(), static_cast<size_t>(length));
}

rcl_interfaces::msg::Log log_message(const rcutils_log_location_t* location, int severity,
                                     const char* name, rcutils_time_point_value_t timestamp,
                                     std::string text) {
  rcl_interfaces::msg::Log message;
  message.stamp = Time(timestamp);
  message.level = static_cast<uint8_t>(severity);
  message.name = name;
  message.msg = std::move(text);
  if (location != nullptr) {
    message.file = location->file_name != nullptr ? location->file_name : "";
    message.function = location->function_name != nullptr ? location->function_name : "";
    message.line = static_cast<uint32_t>(location->line_number);
  }
  return message;
}

}  // namespace

bool Rosout::enabled() {
  return g_enabled.load(std::memory_order_relaxed);
}

void Rosout::set_enabled(bool enabled) {
  g_enabled.store(enabled, std::memory_order_relaxed);
}

bool Rosout::attach(const std::string& logger_name, const std::shared_ptr<NodeRosout>& rosout) {
  {
    std::lock_guard<std::mutex> lock(g_nodes_mutex);
    auto& registered = g_nodes[logger_name];
    if (registered.expired()) {
      registered = rosout;
      return true;
    }
  }
  RCUTILS_LOG_WARN_NAMED(
      "rcl.logging_rosout",
      "Publisher already registered for provided node name. If this is due to multiple nodes "
      "with the same name then all logs for that logger name will go out over the existing "
      "publisher. As soon as any node with that name is destructed it will unregister the "
      "publisher, preventing any further logs for that name from being published on the rosout "
      "topic.");
  return false;
}

void Rosout::publish(const rcutils_log_location_t* location, int severity, const char* name,
                     rcutils_time_point_value_t timestamp, const char* format, va_list* args) {
  if (!enabled() || t_publishing || name == nullptr) {
    return;
  }
  const std::shared_ptr<NodeRosout> rosout = rosout_of(name);
  if (rosout) {
    rosout->push(log_message(location, severity, name, timestamp, format_message(format, args)));
  }
}

void Rosout::mark_publishing_thread() {
  t_publishing = true;
}

}  // namespace detail
}  // namespace rclcpp
