// Logging: the RCLCPP_* macros go through rcutils' console handler in the ROS format, on
// stderr; --log-level sets the default level or one logger's, --disable-stdout-logs silences.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "api_test_context.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rcutils/logging.h"

using LoggingTest = ContextTest;

TEST_F(LoggingTest, NodeLoggersPrintTheRosConsoleFormatOnStderr) {
  init({"prog"});
  auto node = std::make_shared<rclcpp::Node>("talker", "/robot/base", options());
  EXPECT_STREQ(node->get_logger().get_name(), "robot.base.talker");
  testing::internal::CaptureStderr();
  RCLCPP_INFO(node->get_logger(), "hello %d", 42);
  RCLCPP_ERROR(node->get_logger().get_child("rclcpp"), "%s", "broken");
  const std::string text = testing::internal::GetCapturedStderr();
  ASSERT_NE(text.find('\n'), std::string::npos) << text;
  // "[SEVERITY] [<seconds, 10+ digits>.<9 digits>] [name]: message"
  EXPECT_TRUE(std::regex_match(
      text.substr(0, text.find('\n')),
      std::regex(R"(\[INFO\] \[\d{10,}\.\d{9}\] \[robot\.base\.talker\]: hello 42)")))
      << text;
  EXPECT_NE(text.find("] [robot.base.talker.rclcpp]: broken\n"), std::string::npos) << text;
}

TEST_F(LoggingTest, LogLevelArgumentsChooseWhatIsPrinted) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> shown;
    std::vector<std::string> hidden;
  } cases[] = {
      {{}, {"quiet warn", "child warn", "other warn"}, {"debug"}},
      {{"--log-level", "DEBUG"}, {"debug", "quiet warn"}, {}},
      // A logger's level applies to its children too.
      {{"--log-level", "api_test_quiet:=error"},
       {"quiet error", "other warn"},
       {"quiet warn", "child warn"}},
      {{"--disable-stdout-logs"}, {}, {"quiet error", "other warn"}},
  };
  const auto quiet = rclcpp::get_logger("api_test_quiet");
  for (const auto& c : cases) {
    std::vector<std::string> args{"prog", "--ros-args"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    init(args);
    testing::internal::CaptureStderr();
    RCLCPP_DEBUG(rclcpp::get_logger("api_test_other"), "debug");
    RCLCPP_WARN(quiet, "quiet warn");
    RCLCPP_WARN(quiet.get_child("child"), "child warn");
    RCLCPP_ERROR(quiet, "quiet error");
    RCLCPP_WARN(rclcpp::get_logger("api_test_other"), "other warn");
    const std::string text = testing::internal::GetCapturedStderr();
    for (const auto& line : c.shown) {
      EXPECT_NE(text.find("]: " + line + "\n"), std::string::npos) << args.back() << "\n" << text;
    }
    for (const auto& line : c.hidden) {
      EXPECT_EQ(text.find("]: " + line + "\n"), std::string::npos) << args.back() << "\n" << text;
    }
    rcutils_logging_set_default_logger_level(RCUTILS_LOG_SEVERITY_INFO);  // for the next case
  }
}

TEST_F(LoggingTest, StreamOnceAndThrottleVariants) {
  init({"prog"});
  const auto logger = rclcpp::get_logger("api_test_variants");
  rclcpp::Clock clock(RCL_STEADY_TIME);
  testing::internal::CaptureStderr();
  for (int i = 0; i < 3; ++i) {
    RCLCPP_WARN_STREAM(logger, "stream " << i << " of " << 3.5);
    RCLCPP_INFO_ONCE(logger, "once %d", i);
    RCLCPP_INFO_THROTTLE(logger, clock, 60000, "throttled %d", i);
    RCLCPP_INFO_SKIPFIRST(logger, "skipfirst %d", i);
    RCLCPP_INFO_EXPRESSION(logger, i == 1, "expression %d", i);
  }
  const std::string text = testing::internal::GetCapturedStderr();
  EXPECT_NE(text.find("[WARN] "), std::string::npos);
  for (const char* shown :
       {"]: stream 2 of 3.5\n", "once 0", "throttled 0", "skipfirst 1", "expression 1"}) {
    EXPECT_NE(text.find(shown), std::string::npos) << shown;
  }
  for (const char* hidden : {"once 1", "throttled 1", "skipfirst 0", "expression 0"}) {
    EXPECT_EQ(text.find(hidden), std::string::npos) << hidden;
  }
}
