#include "node_environment.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bottom_interact_center/bottom_interact_center.hpp"
#include "bottom_interact_center/constants.hpp"
#include "rcutils/logging.h"
#include "test_support/poll_until.hpp"
#include "test_support/test_domain.hpp"

namespace bottom_interact_center::test {
namespace {

std::mutex g_log_mutex;
std::condition_variable g_log_grew;
std::vector<std::string> g_log_lines;
rcutils_logging_output_handler_t g_console_handler = nullptr;

void CaptureOutput(const rcutils_log_location_t* location, int severity, const char* name,
                   rcutils_time_point_value_t timestamp, const char* format, va_list* args) {
  va_list copy;
  va_copy(copy, *args);
  char line[2048];
  vsnprintf(line, sizeof(line), format, copy);
  va_end(copy);
  {
    std::lock_guard<std::mutex> lock(g_log_mutex);
    g_log_lines.emplace_back(line);
  }
  g_log_grew.notify_all();
  if (g_console_handler != nullptr) {
    g_console_handler(location, severity, name, timestamp, format, args);
  }
}

std::unique_ptr<LinkEventLog> g_events;

}  // namespace

void LogCapture::Install() {
  g_console_handler = rcutils_logging_get_output_handler();
  rcutils_logging_set_output_handler(&CaptureOutput);
}

void LogCapture::Clear() {
  std::lock_guard<std::mutex> lock(g_log_mutex);
  g_log_lines.clear();
}

std::vector<std::string> LogCapture::Lines() {
  std::lock_guard<std::mutex> lock(g_log_mutex);
  return g_log_lines;
}

std::size_t LogCapture::Count(const std::string& text) {
  std::lock_guard<std::mutex> lock(g_log_mutex);
  return CountLocked(text);
}

bool LogCapture::WaitForCount(const std::string& text, std::size_t count,
                              std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(g_log_mutex);
  return g_log_grew.wait_for(lock, timeout, [&] { return CountLocked(text) >= count; });
}

std::size_t LogCapture::CountLocked(const std::string& text) {
  std::size_t count = 0;
  for (const auto& line : g_log_lines) {
    count += line.find(text) != std::string::npos ? 1 : 0;
  }
  return count;
}

LinkEventLog::LinkEventLog() : node_(std::make_shared<rclcpp::Node>("link_event_log")) {
  subscription_ = node_->create_subscription<velmoria_protocol::msg::DiagnosticEvent>(
      kTaskCenterDiagTopic, 10, [this](const velmoria_protocol::msg::DiagnosticEvent& event) {
        if (event.event_id != kLinkEventId) {
          return;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        statuses_.push_back(event.event_status);
        changed_.notify_all();
      });
  spun_ = std::make_unique<SpunNodes>(std::vector<rclcpp::Node::SharedPtr>{node_});
  // Events published before each side has discovered the other would be lost.
  test_support::PollUntil(10s, [this] {
    return subscription_->get_publisher_count() > 0 &&
           g_node->count_subscribers(kTaskCenterDiagTopic) > 0;
  });
}

void LinkEventLog::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  statuses_.clear();
}

std::vector<int32_t> LinkEventLog::WaitFor(std::size_t count, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, timeout, [&] { return statuses_.size() >= count; });
  return statuses_;
}

std::vector<int32_t> LinkEventLog::Events() {
  std::lock_guard<std::mutex> lock(mutex_);
  return statuses_;
}

void NodeEnvironment::SetUp() {
  // DDS on loopback, in the domain the run chose (scripts/test gives each run its own), else in
  // one of this process's own: events of other nodes stay out.
  test_support::KeepDdsOnThisMachine();
  rclcpp::init(0, nullptr);
  LogCapture::Install();
  g_node = std::make_shared<BottomInteractCenter>();
  if (BoardIsLoopback()) {
    g_node->Init();
    g_events = std::make_unique<LinkEventLog>();
  }
}

void NodeEnvironment::TearDown() {
  g_events.reset();
  g_node.reset();
  rclcpp::shutdown();
}

LinkEventLog& NodeEnvironment::Events() {
  return *g_events;
}

bool NodeEnvironment::BoardIsLoopback() {
  return std::string(kBoardProcterAddress).rfind("127.", 0) == 0;
}

}  // namespace bottom_interact_center::test
