#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ros_tools/program_arguments.hpp"

namespace {

using ros_tools::ProgramArguments;

TEST(ProgramArguments, RosArgumentSectionsAreLeftToRclcpp) {
  const char* argv[] = {"tool",   "{cmd: 10}", "--ros-args", "-r",          "__node:=x", "--",
                        "--wait", "2",         "--ros-args", "--log-level", "debug"};
  ProgramArguments args(11, argv);
  double wait = 5;
  std::string error;
  ASSERT_TRUE(args.TakeSeconds("--wait", &wait, &error)) << error;
  EXPECT_EQ(wait, 2);
  std::vector<std::string> positional;
  ASSERT_TRUE(args.Positional(&positional, &error)) << error;
  EXPECT_EQ(positional, (std::vector<std::string>{"{cmd: 10}"}));
}

TEST(ProgramArguments, ValuesInBothSpellings) {
  ProgramArguments args({"--timeout=0.5", "--count", "3", "TOPIC"});
  double timeout = 45;
  uint64_t count = 0;
  std::string error;
  ASSERT_TRUE(args.TakeSeconds("--timeout", &timeout, &error));
  ASSERT_TRUE(args.TakeCount("--count", &count, &error));
  EXPECT_EQ(timeout, 0.5);
  EXPECT_EQ(count, 3u);
}

TEST(ProgramArguments, AbsentOptionKeepsTheDefault) {
  ProgramArguments args({"x"});
  double wait = 5;
  std::string error;
  EXPECT_TRUE(args.TakeSeconds("--wait", &wait, &error));
  EXPECT_EQ(wait, 5);
}

TEST(ProgramArguments, BadValuesAreNamed) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--wait"}, "--wait needs a value"},
      {{"--wait", "soon"}, "--wait: 'soon' is not a number of seconds"},
      {{"--wait", "-1"}, "--wait: '-1' is not a number of seconds"},
      {{"--count", "0"}, "--count: '0' is not a positive whole number"},
      {{"--count", "-2"}, "--count: '-2' is not a positive whole number"},
  };
  for (const auto& [argv, expected] : cases) {
    ProgramArguments args(argv);
    double seconds = 0;
    uint64_t count = 0;
    std::string error;
    const bool ok =
        args.TakeSeconds("--wait", &seconds, &error) && args.TakeCount("--count", &count, &error);
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, expected);
  }
}

TEST(ProgramArguments, FlagsAndUnknownOptions) {
  ProgramArguments args({"-h", "-5", "--verbose"});
  EXPECT_TRUE(args.TakeFlag({"-h", "--help"}));
  EXPECT_FALSE(args.TakeFlag({"-h", "--help"}));
  std::vector<std::string> positional;
  std::string error;
  EXPECT_FALSE(args.Positional(&positional, &error));
  EXPECT_EQ(error, "unknown option '--verbose'");
}

}  // namespace
