// The command line as rcl reads it: parameter rules and their YAML typing, parameter files,
// remap and log level rules, and the errors for malformed or unknown ROS arguments.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "rcl/types.h"
#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/detail/yaml_parameters.hpp"
#include "rclcpp/exceptions.hpp"

using rclcpp::ParameterValue;
using rclcpp::detail::parse_parameter_value;
using rclcpp::detail::RosArguments;

namespace {

RosArguments parse(const std::vector<std::string>& args) {
  return RosArguments::parse(args, "failed to initialize rcl: ");
}

/// The overrides the arguments give the node with that fully qualified name.
std::map<std::string, ParameterValue> overrides_for(const std::vector<std::string>& args,
                                                    const std::string& node_fqn) {
  return parse(args).parameter_overrides().resolve(node_fqn);
}

/// The message of the RCLInvalidROSArgsError that parsing `args` throws: rcl fails every
/// malformed argument with RCL_RET_INVALID_ROS_ARGS.
std::string error_parsing(const std::vector<std::string>& args) {
  try {
    parse(args);
  } catch (const rclcpp::exceptions::RCLInvalidROSArgsError& error) {
    EXPECT_EQ(error.ret, RCL_RET_INVALID_ROS_ARGS);
    return error.what();
  }
  ADD_FAILURE() << "no error parsing " << args.back();
  return "";
}

/// A file with `content` that is removed when the object goes.
class TempFile {
public:
  explicit TempFile(const std::string& content) {
    char path[] = "/tmp/api_params_XXXXXX.yaml";
    const int fd = mkstemps(path, 5);
    close(fd);
    path_ = path;
    std::ofstream(path_) << content;
  }
  ~TempFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

private:
  std::string path_;
};

}  // namespace

TEST(ParameterValueTyping, ScalarsAreTypedBoolThenIntegerThenDoubleThenString) {
  const std::pair<const char*, ParameterValue> cases[] = {
      {"yes", ParameterValue(true)},
      {"Off", ParameterValue(false)},
      {"-7", ParameterValue(int64_t{-7})},
      {"0x1f", ParameterValue(int64_t{31})},
      {"017", ParameterValue(int64_t{15})},
      {"1e3", ParameterValue(1000.0)},
      {"-.inf", ParameterValue(-INFINITY)},
      {"1.2.3", ParameterValue("1.2.3")},
      {"'5'", ParameterValue("5")},
      {"\"true\"", ParameterValue("true")},
      {"[1, 2]", ParameterValue(std::vector<int64_t>{1, 2})},
      {"[0.5, 1.0]", ParameterValue(std::vector<double>{0.5, 1.0})},
      {"[on, false]", ParameterValue(std::vector<bool>{true, false})},
      {"[a, '2']", ParameterValue(std::vector<std::string>{"a", "2"})},
  };
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(parse_parameter_value(text), value) << text;
  }
  EXPECT_TRUE(std::isnan(parse_parameter_value(".nan").get<double>()));
  for (const char* malformed : {"[1, 2.5]", "[]", "", "[1, 2", "{a: 1}"}) {
    EXPECT_THROW(parse_parameter_value(malformed), std::invalid_argument) << malformed;
  }
}

TEST(ParamsFile, NodeKeysNestedNamespacesWildcardsAndNestedMaps) {
  TempFile file(R"(
/**:
  ros__parameters:
    common: 1
    shared: from_wildcard
bottom_interact_center:
  ros__parameters:
    port: "/dev/ttyS1"
    links:
      procter: {port: 9000, host: 127.0.0.1}
    ids: [1, 2, 3]
/robot/driver:
  ros__parameters:
    shared: from_fqn
robot:
  base:
    ros__parameters:
      wheels: 4
/*/driver:
  ros__parameters:
    one_level: true
/**/driver:
  ros__parameters:
    any_level: true
)");
  const std::vector<std::string> args{"prog", "--ros-args", "--params-file", file.path()};

  const auto center = overrides_for(args, "/bottom_interact_center");
  EXPECT_EQ(center.at("common"), ParameterValue(int64_t{1}));
  EXPECT_EQ(center.at("port"), ParameterValue("/dev/ttyS1"));
  EXPECT_EQ(center.at("links.procter.port"), ParameterValue(int64_t{9000}));
  EXPECT_EQ(center.at("links.procter.host"), ParameterValue("127.0.0.1"));
  EXPECT_EQ(center.at("ids"), ParameterValue(std::vector<int64_t>{1, 2, 3}));

  const auto driver = overrides_for(args, "/robot/driver");
  EXPECT_EQ(driver.at("shared"), ParameterValue("from_fqn"));
  EXPECT_EQ(driver.at("one_level"), ParameterValue(true));
  EXPECT_EQ(driver.count("port"), 0u);

  EXPECT_EQ(overrides_for(args, "/robot/base").at("wheels"), ParameterValue(int64_t{4}));
  EXPECT_EQ(overrides_for(args, "/a/b/driver").count("one_level"), 0u);
  EXPECT_EQ(overrides_for(args, "/a/b/driver").at("any_level"), ParameterValue(true));
  EXPECT_EQ(overrides_for(args, "/driver").at("any_level"), ParameterValue(true));
  EXPECT_EQ(overrides_for(args, "/a/b/driver2").count("any_level"), 0u);
  EXPECT_EQ(overrides_for(args, "/a/b/driver").at("common"), ParameterValue(int64_t{1}));
}

TEST(RosArguments, TextOutsideRosArgsIsLeftToTheProgram) {
  const auto args = parse({"prog", "--verbose", "--ros-args", "-p", "a:=1", "--foo", "--",
                           "file.txt", "--ros-args", "-r", "x:=y"});
  EXPECT_EQ(args.non_ros_args(), (std::vector<std::string>{"prog", "--verbose", "file.txt"}));
  EXPECT_EQ(args.unknown_ros_args(), (std::vector<std::string>{"--foo"}));
  ASSERT_EQ(args.remap_rules().size(), 1u);
}

TEST(RosArguments, MalformedArgumentsAreInvalidRosArgumentsNamingTheRule) {
  EXPECT_EQ(error_parsing({"prog", "--ros-args", "-p"}),
            "failed to initialize rcl: Couldn't parse trailing -p flag. No parameter override "
            "rule provided.");
  for (const char* flag : {"--params-file", "-r", "--log-level"}) {
    EXPECT_THROW(parse({"--ros-args", flag}), rclcpp::exceptions::RCLInvalidROSArgsError) << flag;
  }
  // {flag, value, what rcl calls the value}
  const std::vector<std::string> bad_rules[] = {{"-p", "no_assignment", "parameter override rule"},
                                                {"-p", "a:=[1, 2.5]", "parameter override rule"},
                                                {"-p", "bad name:=1", "parameter override rule"},
                                                {"-r", "__ns:=relative", "remap rule"},
                                                {"-r", "__node:=bad-name", "remap rule"},
                                                {"--log-level", "loud", "log level"}};
  for (const auto& rule : bad_rules) {
    const std::string start = "failed to initialize rcl: Couldn't parse " + rule[2] + ": '" +
                              rule[0] + " " + rule[1] + "'. Error: ";
    EXPECT_EQ(error_parsing({"prog", "--ros-args", rule[0], rule[1]}).rfind(start, 0), 0u) << start;
  }
}
