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

TEST(Time, ConvertsToAMessageWithNanosecondsBelowOneSecond) {
  builtin_interfaces::msg::Time stamp = Time(int64_t{1700000000123456789});
  EXPECT_EQ(stamp.sec, 1700000000);
  EXPECT_EQ(stamp.nanosec, 123456789u);
  builtin_interfaces::msg::Time before_epoch = Time(int64_t{-1500000000});
  EXPECT_EQ(before_epoch.sec, -2);
  EXPECT_EQ(before_epoch.nanosec, 500000000u);
  EXPECT_EQ(Time(stamp).nanoseconds(), 1700000000123456789);
  stamp.sec = -1;
  EXPECT_THROW(Time{stamp}, std::runtime_error);
}

TEST(Time, DifferentClockTypesDoNotMix) {
  const Time system(int64_t{10}, RCL_SYSTEM_TIME);
  const Time steady(int64_t{10}, RCL_STEADY_TIME);
  EXPECT_FALSE(system == steady);
  EXPECT_THROW((void)(system < steady), std::runtime_error);
  EXPECT_THROW(system - steady, std::runtime_error);
  EXPECT_EQ(rclcpp::Clock(RCL_STEADY_TIME).now().get_clock_type(), RCL_STEADY_TIME);
  EXPECT_THROW(rclcpp::Clock(RCL_CLOCK_UNINITIALIZED).now(), std::runtime_error);
}

TEST(Time, ArithmeticOverflowThrows) {
  EXPECT_THROW(Time(std::numeric_limits<int64_t>::max()) + Duration(std::chrono::nanoseconds(1)),
               std::overflow_error);
  EXPECT_THROW(Duration::max() * 1e12, std::overflow_error);
}

TEST(Duration, NegativeAndSaturatedMessages) {
  builtin_interfaces::msg::Duration negative = Duration::from_nanoseconds(-1);
  EXPECT_EQ(negative.sec, -1);
  EXPECT_EQ(negative.nanosec, 999999999u);
  EXPECT_EQ(Duration(negative).nanoseconds(), -1);
  builtin_interfaces::msg::Duration saturated =
      Duration::from_nanoseconds(std::numeric_limits<int64_t>::max());
  EXPECT_EQ(saturated.sec, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(saturated.nanosec, std::numeric_limits<uint32_t>::max());
}
