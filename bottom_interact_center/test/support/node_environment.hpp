// The process-wide node (g_node) that the link classes log and publish through, plus what tests
// observe of it: its log lines and the link events on the task-center diagnostic topic.
#ifndef BOTTOM_INTERACT_CENTER_TEST__NODE_ENVIRONMENT_HPP_
#define BOTTOM_INTERACT_CENTER_TEST__NODE_ENVIRONMENT_HPP_

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "spun_nodes.hpp"
#include "velmoria_protocol/msg/diagnostic_event.hpp"

namespace bottom_interact_center::test {

using namespace std::chrono_literals;

// Every log line of the process, formatted, while still going to the console.
class LogCapture {
public:
  static void Install();
  // Forgets the lines captured so far.
  static void Clear();
  static std::vector<std::string> Lines();
  // Number of captured lines containing text.
  static std::size_t Count(const std::string& text);
  // Waits until at least count captured lines contain text.
  static bool WaitForCount(const std::string& text, std::size_t count,
                           std::chrono::milliseconds timeout = 10s);

private:
  static std::size_t CountLocked(const std::string& text);  // the caller holds the lines' lock
};

// Link-lost (1) and link-restored (0) statuses seen on the task-center diagnostic topic.
class LinkEventLog {
public:
  LinkEventLog();
  void Clear();
  // Waits until at least count events arrived; returns all of them.
  std::vector<int32_t> WaitFor(std::size_t count, std::chrono::milliseconds timeout = 5s);
  std::vector<int32_t> Events();

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int32_t> statuses_;
  rclcpp::Node::SharedPtr node_;
  rclcpp::Subscription<velmoria_protocol::msg::DiagnosticEvent>::SharedPtr subscription_;
  std::unique_ptr<SpunNodes> spun_;
};

// Brings ROS up, creates and initialises g_node once for the test program. The node's own board
// links find no board (nothing listens on the command ports in these tests).
class NodeEnvironment : public ::testing::Environment {
public:
  void SetUp() override;
  void TearDown() override;
  static LinkEventLog& Events();
  // The board address must be loopback for tests to connect to it.
  static bool BoardIsLoopback();
};

}  // namespace bottom_interact_center::test

#endif  // BOTTOM_INTERACT_CENTER_TEST__NODE_ENVIRONMENT_HPP_
