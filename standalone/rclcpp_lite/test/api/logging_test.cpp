// Logging: the RCLCPP_* macros go through rcutils' console handler in the ROS format, on
// stderr; --log-level sets the default level or one logger's, --disable-stdout-logs silences.
// A node's own logger also publishes its lines on /rosout, unless --disable-rosout-logs.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
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

/// The line with that text among `lines`, if there.
std::optional<Log> find(const std::vector<Log>& lines, const std::string& text) {
  for (const Log& line : lines) {
    if (line.msg == text) {
      return line;
    }
  }
  return std::nullopt;
}

}  // namespace

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
    RCLCPP_WARN(rclcpp::get_logger("api_test_quiet.child"), "child warn");
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

TEST_F(LoggingTest, ANodesLinesReachRosoutWithTheirSourceAndLateJoinersGetThem) {
  init({"prog"});
  auto talker = std::make_shared<rclcpp::Node>("talker", "/robot", options());
  RCLCPP_INFO(talker->get_logger(), "before anyone listened");
  auto listener = std::make_shared<rclcpp::Node>("rosout_listener", options());
  Inbox<Log> inbox;
  auto subscription =
      listener->create_subscription<Log>("/rosout", rclcpp::QoS(1000).transient_local(),
                                         [&inbox](const Log& line) { inbox.add(line); });
  auto executor = std::make_shared<rclcpp::executors::SingleThreadedExecutor>(executor_options());
  executor->add_node(listener);
  spin_in_background(executor);
  auto has = [](const char* text) {
    return [text](const std::vector<Log>& lines) { return find(lines, text).has_value(); };
  };
  EXPECT_FALSE(inbox.wait_until(has("before anyone listened")).empty());

  const int64_t before = rclcpp::Clock(RCL_SYSTEM_TIME).now().nanoseconds();
  RCLCPP_WARN(talker->get_logger(), "warned %d", 7);
  const uint32_t warned_line = __LINE__ - 1;
  RCLCPP_WARN(rclcpp::get_logger("robot.talker.sub"), "child line");
  RCLCPP_WARN(rclcpp::get_logger("rclcpp"), "library line");
  RCLCPP_DEBUG(talker->get_logger(), "debug line");
  // What a thread that publishes lines logs is not queued for publishing again.
  std::thread([&talker] {
    rclcpp::detail::Rosout::mark_publishing_thread();
    RCLCPP_WARN(talker->get_logger(), "publishing thread line");
  }).join();
  RCLCPP_ERROR(talker->get_logger(), "last line");
  const auto lines = inbox.wait_until(has("last line"));
  const auto warned = find(lines, "warned 7");
  ASSERT_TRUE(warned);
  EXPECT_EQ(warned->level, Log::WARN);
  EXPECT_EQ(warned->name, "robot.talker");
  EXPECT_NE(warned->file.find("logging_test.cpp"), std::string::npos) << warned->file;
  EXPECT_EQ(warned->function, "TestBody");
  EXPECT_EQ(warned->line, warned_line);
  EXPECT_GE(warned->stamp.sec * int64_t{1000000000} + warned->stamp.nanosec, before);
  // Only the node's own logger publishes, and only what its level lets through.
  for (const char* kept : {"child line", "library line", "debug line", "publishing thread line"}) {
    EXPECT_FALSE(find(lines, kept)) << kept;
  }
}

TEST_F(LoggingTest, ASecondNodeOfTheSameNameGetsNoRosoutPublisherAndDisabledLogsNone) {
  for (const bool disabled : {false, true}) {
    init(disabled ? std::vector<std::string>{"prog", "--ros-args", "--disable-rosout-logs"}
                  : std::vector<std::string>{"prog"});
    auto first = std::make_shared<rclcpp::Node>("twin", options());
    testing::internal::CaptureStderr();
    auto second = std::make_shared<rclcpp::Node>("twin", options());
    const std::string text = testing::internal::GetCapturedStderr();
    // Without /rosout publishers there is no first one for the second node to meet.
    EXPECT_EQ(text.find("Publisher already registered for provided node name."),
              disabled ? std::string::npos : text.find("Publisher"))
        << text;
  }
}
