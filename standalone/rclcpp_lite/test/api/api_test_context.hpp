// Tests with an rclcpp context initialised from a command line, as a program's main would do it
// with argc/argv. The context shuts down when the test ends, which stops the executors it spun.
#ifndef API_TEST__API_TEST_CONTEXT_HPP_
#define API_TEST__API_TEST_CONTEXT_HPP_

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "test_support/poll_until.hpp"

/// The messages a subscription received.
template <typename MessageT>
class Inbox {
public:
  void add(const MessageT& message) {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(message);
  }

  /// What has arrived once `done` holds for it; empty if it does not within 15 s.
  std::vector<MessageT> wait_until(const std::function<bool(const std::vector<MessageT>&)>& done) {
    std::vector<MessageT> messages;
    const bool arrived = test_support::PollUntil(std::chrono::seconds(15), [&] {
      std::lock_guard<std::mutex> lock(mutex_);
      messages = messages_;
      return done(messages);
    });
    return arrived ? messages : std::vector<MessageT>();
  }

  /// The first `count` messages and any after them; empty if fewer arrive within 15 s.
  std::vector<MessageT> wait_for(size_t count) {
    return wait_until([count](const auto& messages) { return messages.size() >= count; });
  }

private:
  std::mutex mutex_;
  std::vector<MessageT> messages_;
};

/// `stem` made unique to this test process, for names of topics and services.
std::string unique_name(const std::string& stem);

void init_context(const rclcpp::Context::SharedPtr& context, const std::vector<std::string>& args);

class ContextTest : public ::testing::Test {
protected:
  void TearDown() override;

  /// Shuts down the current context, if any, and initialises a new one from `args`.
  void init(const std::vector<std::string>& args);

  rclcpp::NodeOptions options() const { return rclcpp::NodeOptions().context(context_); }
  rclcpp::ExecutorOptions executor_options() const;
  void spin_in_background(const std::shared_ptr<rclcpp::Executor>& executor);
  /// A node of the current context, spun by a single-threaded executor in the background.
  rclcpp::Node::SharedPtr spun_node(const std::string& name);

  rclcpp::Context::SharedPtr context_;

private:
  std::vector<std::thread> spinners_;
};

#endif  // API_TEST__API_TEST_CONTEXT_HPP_
