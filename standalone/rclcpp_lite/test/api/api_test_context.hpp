// Tests with an rclcpp context initialised from a command line, as a program's main would do it
// with argc/argv. The context shuts down when the test ends, which stops the executors it spun.
#ifndef API_TEST__API_TEST_CONTEXT_HPP_
#define API_TEST__API_TEST_CONTEXT_HPP_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/rclcpp.hpp"

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

  rclcpp::Context::SharedPtr context_;

private:
  std::vector<std::thread> spinners_;
};

#endif  // API_TEST__API_TEST_CONTEXT_HPP_
