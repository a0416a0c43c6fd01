// Logging: the RCLCPP_* macros go through rcutils' console handler in the ROS format, on
// stderr; --log-level sets the default level or one logger's, --disable-stdout-logs silences.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "rcutils/logging.h"

namespace {

/// Sends everything written to stderr into a file while it lives.
class StderrCapture {
public:
  StderrCapture() {
    char path[] = "/tmp/api_stderr_XXXXXX";
    const int fd = mkstemp(path);
    path_ = path;
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    dup2(fd, STDERR_FILENO);
    close(fd);
  }
  ~StderrCapture() {
    restore();
    std::remove(path_.c_str());
  }

  /// Restores stderr and returns what was written.
  std::string text() {
    restore();
    std::ifstream file(path_);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
  }

private:
  void restore() {
    if (saved_ >= 0) {
      std::fflush(stderr);
      dup2(saved_, STDERR_FILENO);
      close(saved_);
      saved_ = -1;
    }
  }

  std::string path_;
  int saved_ = -1;
};

bool all_digits(const std::string& text) {
  for (const char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) {
      return false;
    }
  }
  return !text.empty();
}

/// Whether `line` is "[SEVERITY] [<seconds, 10+ digits>.<9 digits>] [name]: message".
bool is_console_line(const std::string& line, const std::string& severity, const std::string& name,
                     const std::string& message) {
  const std::string head = "[" + severity + "] [";
  const std::string tail = "] [" + name + "]: " + message;
  if (line.rfind(head, 0) != 0 || line.size() < head.size() + tail.size() ||
      line.compare(line.size() - tail.size(), tail.size(), tail) != 0) {
    return false;
  }
  const std::string stamp = line.substr(head.size(), line.size() - head.size() - tail.size());
  const size_t dot = stamp.find('.');
  return dot != std::string::npos && dot >= 10 && all_digits(stamp.substr(0, dot)) &&
         stamp.size() - dot - 1 == 9 && all_digits(stamp.substr(dot + 1));
}

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
    std::vector<const char*> argv;
    for (const auto& arg : args) {
      argv.push_back(arg.c_str());
    }
    context_ = std::make_shared<rclcpp::Context>();
    context_->init(static_cast<int>(argv.size()), argv.data());
  }

  rclcpp::Context::SharedPtr context_;
};

}  // namespace

TEST_F(LoggingTest, NodeLoggersPrintTheRosConsoleFormatOnStderr) {
  init({"prog"});
  auto node = std::make_shared<rclcpp::Node>("talker", "/robot/base",
                                             rclcpp::NodeOptions().context(context_));
  EXPECT_STREQ(node->get_logger().get_name(), "robot.base.talker");
  StderrCapture capture;
  RCLCPP_INFO(node->get_logger(), "hello %d", 42);
  RCLCPP_ERROR(node->get_logger().get_child("rclcpp"), "%s", "broken");
  const std::string text = capture.text();
  ASSERT_NE(text.find('\n'), std::string::npos) << text;
  EXPECT_TRUE(
      is_console_line(text.substr(0, text.find('\n')), "INFO", "robot.base.talker", "hello 42"))
      << text;
  EXPECT_NE(text.find("] [robot.base.talker.rclcpp]: broken\n"), std::string::npos) << text;
}

TEST_F(LoggingTest, DebugIsHiddenByDefaultAndShownWithLogLevelDebug) {
  init({"prog"});
  const auto logger = rclcpp::get_logger("api_test_levels");
  {
    StderrCapture capture;
    RCLCPP_DEBUG(logger, "hidden");
    RCLCPP_INFO(logger, "shown");
    const std::string text = capture.text();
    EXPECT_EQ(text.find("hidden"), std::string::npos) << text;
    EXPECT_NE(text.find("shown"), std::string::npos) << text;
  }
  context_->shutdown("reconfigure");
  init({"prog", "--ros-args", "--log-level", "debug"});
  StderrCapture capture;
  RCLCPP_DEBUG(logger, "now shown");
  EXPECT_NE(capture.text().find("[DEBUG] "), std::string::npos);
}

TEST_F(LoggingTest, ALoggerLevelAppliesToTheLoggerAndItsChildren) {
  init({"prog", "--ros-args", "--log-level", "api_test_quiet:=error"});
  StderrCapture capture;
  RCLCPP_WARN(rclcpp::get_logger("api_test_quiet"), "quiet parent");
  RCLCPP_WARN(rclcpp::get_logger("api_test_quiet").get_child("child"), "quiet child");
  RCLCPP_ERROR(rclcpp::get_logger("api_test_quiet"), "loud error");
  RCLCPP_WARN(rclcpp::get_logger("api_test_other"), "other warn");
  const std::string text = capture.text();
  EXPECT_EQ(text.find("quiet parent"), std::string::npos) << text;
  EXPECT_EQ(text.find("quiet child"), std::string::npos) << text;
  EXPECT_NE(text.find("loud error"), std::string::npos) << text;
  EXPECT_NE(text.find("other warn"), std::string::npos) << text;
}

TEST_F(LoggingTest, DisableStdoutLogsSilencesTheConsole) {
  init({"prog", "--ros-args", "--disable-stdout-logs"});
  StderrCapture capture;
  RCLCPP_ERROR(rclcpp::get_logger("api_test_silenced"), "not printed");
  EXPECT_EQ(capture.text(), "");
}

TEST_F(LoggingTest, StreamOnceAndThrottleVariants) {
  init({"prog"});
  const auto logger = rclcpp::get_logger("api_test_variants");
  rclcpp::Clock clock(RCL_STEADY_TIME);
  StderrCapture capture;
  for (int i = 0; i < 3; ++i) {
    RCLCPP_WARN_STREAM(logger, "stream " << i << " of " << 3.5);
    RCLCPP_INFO_ONCE(logger, "once %d", i);
    RCLCPP_INFO_THROTTLE(logger, clock, 60000, "throttled %d", i);
    RCLCPP_INFO_SKIPFIRST(logger, "skipfirst %d", i);
    RCLCPP_INFO_EXPRESSION(logger, i == 1, "expression %d", i);
  }
  const std::string text = capture.text();
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

TEST_F(LoggingTest, SetLevelChangesOneLogger) {
  init({"prog"});
  auto logger = rclcpp::get_logger("api_test_set_level");
  logger.set_level(rclcpp::Logger::Level::Error);
  StderrCapture capture;
  RCLCPP_WARN(logger, "suppressed");
  RCLCPP_WARN(rclcpp::get_logger("api_test_set_level_sibling"), "sibling");
  const std::string text = capture.text();
  EXPECT_EQ(text.find("suppressed"), std::string::npos);
  EXPECT_NE(text.find("sibling"), std::string::npos);
}
