// Time, Duration and Clock: message conversions (floor semantics), clock types, overflow.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <stdexcept>

#include "builtin_interfaces/msg/duration.hpp"
#include "builtin_interfaces/msg/time.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/time.hpp"

using rclcpp::Duration;
using rclcpp::Time;

TEST(Time, ConvertsToAMessageImplicitlyWithNanosecondsBelowOneSecond) {
  builtin_interfaces::msg::Time stamp = Time(int64_t{1700000000123456789});
  EXPECT_EQ(stamp.sec, 1700000000);
  EXPECT_EQ(stamp.nanosec, 123456789u);
  builtin_interfaces::msg::Time before_epoch = Time(int64_t{-1500000000});
  EXPECT_EQ(before_epoch.sec, -2);
  EXPECT_EQ(before_epoch.nanosec, 500000000u);
  builtin_interfaces::msg::Time exact = Time(int64_t{-2000000000});
  EXPECT_EQ(exact.sec, -2);
  EXPECT_EQ(exact.nanosec, 0u);
}

TEST(Time, RoundTripsThroughAMessage) {
  builtin_interfaces::msg::Time message;
  message.sec = 12;
  message.nanosec = 34;
  const Time time(message);
  EXPECT_EQ(time.nanoseconds(), 12000000034);
  EXPECT_EQ(time.get_clock_type(), RCL_ROS_TIME);
  EXPECT_EQ(static_cast<builtin_interfaces::msg::Time>(time), message);
  message.sec = -1;
  EXPECT_THROW(Time{message}, std::runtime_error);
  EXPECT_THROW(Time(-1, 0), std::runtime_error);
}

TEST(Time, DifferentClockTypesDoNotMix) {
  const Time system(int64_t{10}, RCL_SYSTEM_TIME);
  const Time steady(int64_t{10}, RCL_STEADY_TIME);
  EXPECT_FALSE(system == steady);
  try {
    (void)(system < steady);
    FAIL() << "expected std::runtime_error";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "can't compare times with different time sources");
  }
  EXPECT_THROW(system - steady, std::runtime_error);
  EXPECT_EQ((system - Time(int64_t{4}, RCL_SYSTEM_TIME)).nanoseconds(), 6);
}

TEST(Time, ArithmeticWithDurationsAndOverflow) {
  const Time start(5, 0);
  EXPECT_EQ((start + Duration(1, 500000000)).nanoseconds(), 6500000000);
  EXPECT_EQ((start - std::chrono::milliseconds(250)).nanoseconds(), 4750000000);
  EXPECT_THROW(Time(std::numeric_limits<int64_t>::max()) + Duration(std::chrono::nanoseconds(1)),
               std::overflow_error);
  EXPECT_DOUBLE_EQ(Time(2, 500000000).seconds(), 2.5);
}

TEST(Duration, ConversionsAndMessages) {
  EXPECT_EQ(Duration(std::chrono::milliseconds(1500)).nanoseconds(), 1500000000);
  EXPECT_EQ(Duration::from_seconds(0.25).nanoseconds(), 250000000);
  EXPECT_EQ(Duration(1, 5).to_chrono<std::chrono::nanoseconds>().count(), 1000000005);
  builtin_interfaces::msg::Duration negative = Duration::from_nanoseconds(-1);
  EXPECT_EQ(negative.sec, -1);
  EXPECT_EQ(negative.nanosec, 999999999u);
  builtin_interfaces::msg::Duration saturated =
      Duration::from_nanoseconds(std::numeric_limits<int64_t>::max());
  EXPECT_EQ(saturated.sec, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(saturated.nanosec, std::numeric_limits<uint32_t>::max());
  EXPECT_EQ(Duration(negative).nanoseconds(), -1);
  EXPECT_TRUE(Duration(std::chrono::seconds(1)) < Duration(std::chrono::seconds(2)));
  EXPECT_EQ((Duration(std::chrono::seconds(3)) * 0.5).nanoseconds(), 1500000000);
  EXPECT_THROW(Duration::max() * 1e12, std::overflow_error);
}

TEST(Clock, ReadsTheClockOfItsType) {
  rclcpp::Clock system_clock;
  rclcpp::Clock steady_clock(RCL_STEADY_TIME);
  const auto system_now = system_clock.now();
  EXPECT_EQ(system_now.get_clock_type(), RCL_SYSTEM_TIME);
  const auto wall = std::chrono::system_clock::now().time_since_epoch();
  EXPECT_LT(std::abs(system_now.nanoseconds() -
                     std::chrono::duration_cast<std::chrono::nanoseconds>(wall).count()),
            int64_t{5000000000});
  const auto steady_first = steady_clock.now();
  const auto steady_second = steady_clock.now();
  EXPECT_EQ(steady_first.get_clock_type(), RCL_STEADY_TIME);
  EXPECT_LE(steady_first, steady_second);
  EXPECT_THROW(rclcpp::Clock(RCL_CLOCK_UNINITIALIZED).now(), std::runtime_error);
}
