// Node names and namespaces, topic and service name expansion, and remapping.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "api_test_context.hpp"
#include "rclcpp/detail/names.hpp"
#include "rclcpp/rclcpp.hpp"

using rclcpp::detail::expand_name;

TEST(Names, RelativeAndPrivateNamesExpandAgainstTheNode) {
  EXPECT_EQ(expand_name("robot_event", "center", "/robot", false), "/robot/robot_event");
  EXPECT_EQ(expand_name("~/diag", "center", "/", false), "/center/diag");
  EXPECT_EQ(expand_name("~/diag", "center", "/robot/base", false), "/robot/base/center/diag");
  EXPECT_EQ(expand_name("~", "center", "/robot", false), "/robot/center");
  EXPECT_EQ(expand_name("/absolute/name", "center", "/robot", false), "/absolute/name");
  EXPECT_EQ(expand_name("{node}/status", "center", "/robot", false), "/robot/center/status");
}

TEST(Names, InvalidTopicAndServiceNamesThrowTheirOwnErrors) {
  for (const char* name : {"", "bad name", "9lives", "a/~b"}) {
    EXPECT_THROW(expand_name(name, "n", "/", false), rclcpp::exceptions::InvalidTopicNameError)
        << name;
  }
  for (const char* name : {"trailing/", "a//b"}) {
    EXPECT_THROW(expand_name(name, "n", "/", true), rclcpp::exceptions::InvalidServiceNameError)
        << name;
  }
}

using NodeNames = ContextTest;

TEST_F(NodeNames, NodeNamesNamespacesAndArgumentsAreValidated) {
  EXPECT_THROW(
      rclcpp::Node("n", rclcpp::NodeOptions().context(std::make_shared<rclcpp::Context>())),
      rclcpp::exceptions::RCLError)
      << "a context that is not initialised";
  init({"prog"});
  try {
    rclcpp::Node("bad-name", options());
    FAIL() << "expected InvalidNodeNameError";
  } catch (const rclcpp::exceptions::InvalidNodeNameError& error) {
    EXPECT_EQ(error.invalid_index, 3u);
    EXPECT_EQ(std::string(error.what()),
              "Invalid node name: node name must not contain characters other than alphanumerics "
              "or '_':\n  bad-name\n     ^\n");
  }
  EXPECT_THROW(rclcpp::Node("n", "/trailing/", options()),
               rclcpp::exceptions::InvalidNamespaceError);
  EXPECT_THROW(rclcpp::Node("n", "a//b", options()), rclcpp::exceptions::InvalidNamespaceError);
  rclcpp::Node relative("n", "robot/base", options());
  EXPECT_STREQ(relative.get_namespace(), "/robot/base");
  EXPECT_STREQ(relative.get_fully_qualified_name(), "/robot/base/n");
}

TEST_F(NodeNames, NodeNameAndNamespaceRemapsApply) {
  init({"prog", "--ros-args", "-r", "__ns:=/robot", "-r", "center:__name:=renamed"});
  rclcpp::Node center("center", options());
  EXPECT_STREQ(center.get_name(), "renamed");
  EXPECT_STREQ(center.get_fully_qualified_name(), "/robot/renamed");
  EXPECT_STREQ(center.get_logger().get_name(), "robot.renamed");
  rclcpp::Node other("other", options());
  EXPECT_STREQ(other.get_fully_qualified_name(), "/robot/other");
}

TEST(Names, TopicRemapsMatchTheExpandedName) {
  // The first rule has the form older than --ros-args.
  const auto args =
      rclcpp::detail::RosArguments::parse({"robot_event:=/events", "--ros-args", "-r",
                                           "other:diag:=/wrong", "-r", "~/diag:=diagnostics"},
                                          "");
  auto resolve = [&args](const std::string& name) {
    return rclcpp::detail::remap_name(expand_name(name, "center", "/robot", false), "center",
                                      "/robot", args, false);
  };
  EXPECT_EQ(resolve("robot_event"), "/events");
  EXPECT_EQ(resolve("/robot/robot_event"), "/events");
  EXPECT_EQ(resolve("~/diag"), "/robot/diagnostics");
  EXPECT_EQ(resolve("untouched"), "/robot/untouched");
}
