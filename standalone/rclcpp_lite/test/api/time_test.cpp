// Time as a message stamp: floor semantics before the epoch too.
#include <gtest/gtest.h>

#include "builtin_interfaces/msg/time.hpp"
#include "rclcpp/time.hpp"

using rclcpp::Time;

TEST(Time, ConvertsToAMessageWithNanosecondsBelowOneSecond) {
  builtin_interfaces::msg::Time stamp = Time(int64_t{1700000000123456789});
  EXPECT_EQ(stamp.sec, 1700000000);
  EXPECT_EQ(stamp.nanosec, 123456789u);
  builtin_interfaces::msg::Time before_epoch = Time(int64_t{-1500000000});
  EXPECT_EQ(before_epoch.sec, -2);
  EXPECT_EQ(before_epoch.nanosec, 500000000u);
  builtin_interfaces::msg::Time whole_seconds = Time(int64_t{-2000000000});
  EXPECT_EQ(whole_seconds.sec, -2);
  EXPECT_EQ(whole_seconds.nanosec, 0u);
}
