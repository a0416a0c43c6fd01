// Logging: the RCLCPP_* macros go through rcutils' console handler in the ROS format, on
// stderr; --log-level sets the default level or one logger's, --disable-stdout-logs silences.
// A node's own logger also publishes its lines on /rosout, unless --disable-rosout-logs.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "api_test_context.hpp"
#include "rcl_interfaces/msg/log.hpp"
#include "rclcpp/detail/rosout.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rcutils/logging.h"
#include "test_support/poll_until.hpp"

using LoggingTest = ContextTest;
using rcl_interfaces::msg::Log;
using namespace std::chrono_literals;

namespace {

/// The /rosout lines a subscription received.
class LogInbox {
public:
  void add(const Log& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(line);
  }

  /// The line with that text, once it has arrived; nullopt after the timeout.
  std::optional<Log> wait_for(const std::string& text) {
    std::optional<Log> found;
    test_support::PollUntil(15s, [&] {
      found = find(text);
      return found.has_value();
    });
    return found;
  }

  std::optional<Log> find(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Log& line : lines_) {
      if (line.msg == text) {
        return line;
      }
    }
    return std::nullopt;
  }

private:
  std::mutex mutex_;
  std::vector<Log> lines_;
};

}  // namespace

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

TEST_F(LoggingTest, ANodesLinesReachRosoutWithTheirSourceAndLateJoinersGetThem) {
  init({"prog"});
  auto talker = std::make_shared<rclcpp::Node>("talker", "/robot", options());
  RCLCPP_INFO(talker->get_logger(), "before anyone listened");
  auto listener = std::make_shared<rclcpp::Node>("rosout_listener", options());
  LogInbox inbox;
  auto subscription =
      listener->create_subscription<Log>("/rosout", rclcpp::QoS(1000).transient_local(),
                                         [&inbox](const Log& line) { inbox.add(line); });
  auto executor = std::make_shared<rclcpp::executors::SingleThreadedExecutor>(executor_options());
  executor->add_node(listener);
  spin_in_background(executor);
  EXPECT_TRUE(inbox.wait_for("before anyone listened"));

  const int64_t before = rclcpp::Clock(RCL_SYSTEM_TIME).now().nanoseconds();
  RCLCPP_WARN(talker->get_logger(), "warned %d", 7);
  const uint32_t warned_line = __LINE__ - 1;
  RCLCPP_WARN(talker->get_logger().get_child("sub"), "child line");
  RCLCPP_WARN(rclcpp::get_logger("rclcpp"), "library line");
  RCLCPP_DEBUG(talker->get_logger(), "debug line");
  // What a thread that publishes lines logs is not queued for publishing again.
  std::thread([&talker] {
    rclcpp::detail::Rosout::mark_publishing_thread();
    RCLCPP_WARN(talker->get_logger(), "publishing thread line");
  }).join();
  RCLCPP_ERROR(talker->get_logger(), "last line");
  ASSERT_TRUE(inbox.wait_for("last line"));
  const auto warned = inbox.find("warned 7");
  ASSERT_TRUE(warned);
  EXPECT_EQ(warned->level, Log::WARN);
  EXPECT_EQ(warned->name, "robot.talker");
  EXPECT_NE(warned->file.find("logging_test.cpp"), std::string::npos) << warned->file;
  EXPECT_EQ(warned->function, "TestBody");
  EXPECT_EQ(warned->line, warned_line);
  EXPECT_GE(rclcpp::Time(warned->stamp, RCL_SYSTEM_TIME).nanoseconds(), before);
  // Only the node's own logger publishes, and only what its level lets through.
  for (const char* kept : {"child line", "library line", "debug line", "publishing thread line"}) {
    EXPECT_FALSE(inbox.find(kept)) << kept;
  }
}

TEST_F(LoggingTest, RosoutPublishersFollowTheSwitchesOnePerNodeName) {
  init({"prog", "--ros-args", "--disable-rosout-logs"});
  EXPECT_EQ(std::make_shared<rclcpp::Node>("quiet", options())->count_publishers("/rosout"), 0u);

  init({"prog"});
  auto first = std::make_shared<rclcpp::Node>("twin", options());
  auto without = std::make_shared<rclcpp::Node>("loner", options().enable_rosout(false));
  EXPECT_EQ(first->count_publishers("/rosout"), 1u);
  testing::internal::CaptureStderr();
  auto second = std::make_shared<rclcpp::Node>("twin", options());
  const std::string text = testing::internal::GetCapturedStderr();
  EXPECT_NE(text.find("Publisher already registered for provided node name."), std::string::npos)
      << text;
  EXPECT_EQ(first->count_publishers("/rosout"), 1u);
}
