// Node names and namespaces, topic and service name expansion, and remapping.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "rclcpp/detail/names.hpp"
#include "rclcpp/rclcpp.hpp"

using rclcpp::detail::expand_name;

namespace {

rclcpp::Context::SharedPtr init_context(const std::vector<std::string>& args) {
  std::vector<const char*> argv;
  for (const auto& arg : args) {
    argv.push_back(arg.c_str());
  }
  auto context = std::make_shared<rclcpp::Context>();
  context->init(static_cast<int>(argv.size()), argv.data());
  return context;
}

}  // namespace

TEST(Names, RelativeAndPrivateNamesExpandAgainstTheNode) {
  EXPECT_EQ(expand_name("bottom_operate", "center", "/", true), "/bottom_operate");
  EXPECT_EQ(expand_name("robot_event", "center", "/robot", false), "/robot/robot_event");
  EXPECT_EQ(expand_name("~/diag", "center", "/", false), "/center/diag");
  EXPECT_EQ(expand_name("~/diag", "center", "/robot/base", false), "/robot/base/center/diag");
  EXPECT_EQ(expand_name("~", "center", "/robot", false), "/robot/center");
  EXPECT_EQ(expand_name("/absolute/name", "center", "/robot", false), "/absolute/name");
  EXPECT_EQ(expand_name("{node}/status", "center", "/robot", false), "/robot/center/status");
}

TEST(Names, InvalidTopicAndServiceNamesThrowTheirOwnErrors) {
  EXPECT_THROW(expand_name("", "n", "/", false), rclcpp::exceptions::InvalidTopicNameError);
  EXPECT_THROW(expand_name("bad name", "n", "/", false), rclcpp::exceptions::InvalidTopicNameError);
  EXPECT_THROW(expand_name("trailing/", "n", "/", true),
               rclcpp::exceptions::InvalidServiceNameError);
  EXPECT_THROW(expand_name("a//b", "n", "/", true), rclcpp::exceptions::InvalidServiceNameError);
  EXPECT_THROW(expand_name("9lives", "n", "/", false), rclcpp::exceptions::InvalidTopicNameError);
  EXPECT_THROW(expand_name("a/~b", "n", "/", false), rclcpp::exceptions::InvalidTopicNameError);
}

TEST(Names, NodeNamesAndNamespacesAreValidated) {
  auto context = init_context({"prog"});
  const auto options = rclcpp::NodeOptions().context(context);
  try {
    rclcpp::Node("bad-name", options);
    FAIL() << "expected InvalidNodeNameError";
  } catch (const rclcpp::exceptions::InvalidNodeNameError& error) {
    EXPECT_EQ(error.invalid_index, 3u);
    EXPECT_EQ(std::string(error.what()),
              "Invalid node name: node name must not contain characters other than alphanumerics "
              "or '_':\n  bad-name\n     ^\n");
  }
  EXPECT_THROW(rclcpp::Node("1st", options), rclcpp::exceptions::InvalidNodeNameError);
  EXPECT_THROW(rclcpp::Node("n", "/trailing/", options), rclcpp::exceptions::InvalidNamespaceError);
  EXPECT_THROW(rclcpp::Node("n", "a//b", options), rclcpp::exceptions::InvalidNamespaceError);
  rclcpp::Node relative("n", "robot/base", options);
  EXPECT_STREQ(relative.get_namespace(), "/robot/base");
  EXPECT_STREQ(relative.get_fully_qualified_name(), "/robot/base/n");
  rclcpp::Node root("n", options);
  EXPECT_STREQ(root.get_namespace(), "/");
  EXPECT_STREQ(root.get_fully_qualified_name(), "/n");
  EXPECT_STREQ(root.get_logger().get_name(), "n");
  context->shutdown("done");
}

TEST(Names, NodeNameAndNamespaceRemapsApply) {
  auto context =
      init_context({"prog", "--ros-args", "-r", "__ns:=/robot", "-r", "center:__node:=renamed"});
  const auto options = rclcpp::NodeOptions().context(context);
  rclcpp::Node center("center", options);
  EXPECT_STREQ(center.get_name(), "renamed");
  EXPECT_STREQ(center.get_fully_qualified_name(), "/robot/renamed");
  EXPECT_STREQ(center.get_logger().get_name(), "robot.renamed");
  rclcpp::Node other("other", options);
  EXPECT_STREQ(other.get_fully_qualified_name(), "/robot/other");
  rclcpp::Node local(
      "center", rclcpp::NodeOptions(options).arguments({"--ros-args", "-r", "__node:=local_name"}));
  EXPECT_STREQ(local.get_name(), "local_name");
  context->shutdown("done");
}

TEST(Names, TopicRemapsMatchTheExpandedName) {
  const auto args =
      rclcpp::detail::RosArguments::parse({"--ros-args", "-r", "robot_event:=/events", "-r",
                                           "other:diag:=/wrong", "-r", "~/diag:=diagnostics"},
                                          "");
  const rclcpp::detail::RuleSources sources{&args};
  auto resolve = [&sources](const std::string& name) {
    return rclcpp::detail::remap_name(expand_name(name, "center", "/robot", false), "center",
                                      "/robot", sources, false);
  };
  EXPECT_EQ(resolve("robot_event"), "/events");
  EXPECT_EQ(resolve("/robot/robot_event"), "/events");
  EXPECT_EQ(resolve("~/diag"), "/robot/diagnostics");
  EXPECT_EQ(resolve("untouched"), "/robot/untouched");
}

TEST(Names, NodesNeedAnInitialisedContext) {
  auto context = std::make_shared<rclcpp::Context>();
  EXPECT_THROW(rclcpp::Node("n", rclcpp::NodeOptions().context(context)),
               rclcpp::exceptions::RCLError);
}

TEST(Names, UnknownRosArgumentsOfANodeAreRejected) {
  auto context = init_context({"prog"});
  try {
    rclcpp::Node("n", rclcpp::NodeOptions().context(context).arguments({"--ros-args", "--nope"}));
    FAIL() << "expected UnknownROSArgsError";
  } catch (const rclcpp::exceptions::UnknownROSArgsError& error) {
    EXPECT_STREQ(error.what(), "found unknown ROS arguments: '--nope'");
  }
  context->shutdown("done");
}
