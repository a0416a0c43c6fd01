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

namespace {

/// Logging configured from a command line for the length of a test.
class LoggingTest : public ::testing::Test {
protected:
  void TearDown() override {
    if (context_) {
      context_->shutdown("test done");
    }
    rcutils_logging_set_default_logger_level(RCUTILS_LOG_SEVERITY_INFO);
  }

  void init(const std::vector<std::string>& args) {
    context_ = std::make_shared<rclcpp::Context>();
    init_context(context_, args);
  }

  rclcpp::Context::SharedPtr context_;
};

}  // namespace

TEST_F(LoggingTest, NodeLoggersPrintTheRosConsoleFormatOnStderr) {
  init({"prog"});
  auto node = std::make_shared<rclcpp::Node>("talker", "/robot/base",
                                             rclcpp::NodeOptions().context(context_));
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

TEST_F(LoggingTest, DebugIsHiddenByDefaultAndShownWithLogLevelDebug) {
  init({"prog"});
  const auto logger = rclcpp::get_logger("api_test_levels");
  {
    testing::internal::CaptureStderr();
    RCLCPP_DEBUG(logger, "hidden");
    RCLCPP_INFO(logger, "shown");
    const std::string text = testing::internal::GetCapturedStderr();
    EXPECT_EQ(text.find("hidden"), std::string::npos) << text;
    EXPECT_NE(text.find("shown"), std::string::npos) << text;
  }
  context_->shutdown("reconfigure");
  init({"prog", "--ros-args", "--log-level", "debug"});
  testing::internal::CaptureStderr();
  RCLCPP_DEBUG(logger, "now shown");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("[DEBUG] "), std::string::npos);
}

TEST_F(LoggingTest, ALoggerLevelAppliesToTheLoggerAndItsChildren) {
  init({"prog", "--ros-args", "--log-level", "api_test_quiet:=error"});
  testing::internal::CaptureStderr();
  RCLCPP_WARN(rclcpp::get_logger("api_test_quiet"), "quiet parent");
  RCLCPP_WARN(rclcpp::get_logger("api_test_quiet").get_child("child"), "quiet child");
  RCLCPP_ERROR(rclcpp::get_logger("api_test_quiet"), "loud error");
  RCLCPP_WARN(rclcpp::get_logger("api_test_other"), "other warn");
  const std::string text = testing::internal::GetCapturedStderr();
  EXPECT_EQ(text.find("quiet parent"), std::string::npos) << text;
  EXPECT_EQ(text.find("quiet child"), std::string::npos) << text;
  EXPECT_NE(text.find("loud error"), std::string::npos) << text;
  EXPECT_NE(text.find("other warn"), std::string::npos) << text;
}

TEST_F(LoggingTest, DisableStdoutLogsSilencesTheConsole) {
  init({"prog", "--ros-args", "--disable-stdout-logs"});
  testing::internal::CaptureStderr();
  RCLCPP_ERROR(rclcpp::get_logger("api_test_silenced"), "not printed");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
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
  EXPECT_NE(text.find("]: stream 2 of 3.5\n"), std::string::npos) << text;
  EXPECT_NE(text.find("once 0"), std::string::npos);
  EXPECT_EQ(text.find("once 1"), std::string::npos);
  EXPECT_NE(text.find("throttled 0"), std::string::npos);
  EXPECT_EQ(text.find("throttled 1"), std::string::npos);
  EXPECT_EQ(text.find("skipfirst 0"), std::string::npos);
  EXPECT_NE(text.find("skipfirst 1"), std::string::npos);
  EXPECT_NE(text.find("expression 1"), std::string::npos);
  EXPECT_EQ(text.find("expression 0"), std::string::npos);
}
