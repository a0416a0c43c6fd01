// Node parameters: declaring with defaults and overrides (from -p and parameter files), reading,
// setting, describing and listing them (what the parameter services answer), their events, and
// the exceptions rclcpp documents.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "api_test_context.hpp"
#include "rcl_interfaces/msg/parameter_event.hpp"
#include "rclcpp/rclcpp.hpp"
#include "test_support/poll_until.hpp"

using rcl_interfaces::msg::ParameterType;
using rclcpp::Parameter;
using rclcpp::ParameterValue;
using Names = std::vector<std::string>;

namespace {

class ParametersTest : public ContextTest {
protected:
  std::shared_ptr<rclcpp::Node> node(const std::string& name = "bottom_interact_center",
                                     const std::string& namespace_ = "") {
    return std::make_shared<rclcpp::Node>(name, namespace_, options());
  }
};

/// The declared value as T; fails the test when it is not declared.
template <typename T>
T value_of(const rclcpp::Node& node, const std::string& name) {
  T value{};
  EXPECT_TRUE(node.get_parameter(name, value)) << name;
  return value;
}

std::string write_params_file(const std::string& content) {
  char path[] = "/tmp/api_params_XXXXXX.yaml";
  const int fd = mkstemps(path, 5);
  close(fd);
  std::ofstream(path) << content;
  return path;
}

}  // namespace

TEST_F(ParametersTest, OverridesFromRulesAndFilesReachDeclareParameter) {
  const std::string file = write_params_file(
      "/robot/bottom_interact_center:\n  ros__parameters:\n    links: {procter_port: 9100}\n");
  init({"prog", "--ros-args", "-p", "bottom_interact_center:port:=0x2328", "-p",
        "other_node:port:=1", "--params-file", file});
  std::remove(file.c_str());
  EXPECT_EQ(node()->declare_parameter("port", ParameterValue(1)).get<int64_t>(), 9000);
  auto in_robot = node("bottom_interact_center", "robot");
  EXPECT_EQ(in_robot->declare_parameter("links.procter_port", ParameterValue(0)).get<int64_t>(),
            9100);
  EXPECT_EQ(value_of<int64_t>(*in_robot, "links.procter_port"), 9100);
}

TEST_F(ParametersTest, AWronglyTypedOverrideThrowsInvalidParameterType) {
  init({"prog", "--ros-args", "-p", "port:=5", "-p", "ratio:=1"});
  auto n = node();
  try {
    n->declare_parameter("port", ParameterValue("ttyS1"));
    FAIL() << "expected InvalidParameterTypeException";
  } catch (const rclcpp::exceptions::InvalidParameterTypeException& error) {
    EXPECT_STREQ(error.what(),
                 "parameter 'port' has invalid type: Wrong parameter type, parameter {port} is of "
                 "type {string}, setting it to {integer} is not allowed.");
  }
  rclcpp::Parameter parameter;
  EXPECT_FALSE(n->get_parameter("port", parameter));
  // No conversion: an integer override does not fit a double parameter.
  EXPECT_THROW(n->declare_parameter("ratio", ParameterValue(0.5)),
               rclcpp::exceptions::InvalidParameterTypeException);
}

TEST_F(ParametersTest, AnUndeclaredOverrideIsVisibleOnlyThroughTheOverridesMap) {
  init({"prog", "--ros-args", "-p", "undeclared:=42"});
  auto n = node();
  int64_t value = -1;
  EXPECT_FALSE(n->get_parameter("undeclared", value));
  EXPECT_EQ(value, -1);
  EXPECT_EQ(
      n->get_node_parameters_interface()->get_parameter_overrides().at("undeclared").get<int64_t>(),
      42);
  EXPECT_THROW(n->get_node_parameters_interface()->get_parameters({"undeclared"}),
               rclcpp::exceptions::ParameterNotDeclaredException);
}

TEST_F(ParametersTest, DeclarationsWithoutAValueOrTwiceThrowAndReadsCheckTheType) {
  init({"prog"});
  auto n = node();
  n->declare_parameter("once", ParameterValue(1));
  EXPECT_THROW(n->declare_parameter("once", ParameterValue(2)),
               rclcpp::exceptions::ParameterAlreadyDeclaredException);
  EXPECT_THROW(n->declare_parameter("not_set", ParameterValue()),
               rclcpp::exceptions::InvalidParameterTypeException);
  n->declare_parameter("path", ParameterValue("/dev/x"));
  EXPECT_EQ(value_of<std::string>(*n, "path"), "/dev/x");
  int64_t wrong = 0;
  EXPECT_THROW(n->get_parameter("path", wrong), rclcpp::exceptions::InvalidParameterTypeException);
  // Declared on every node, as by rclcpp's time source.
  EXPECT_FALSE(value_of<bool>(*n, "use_sim_time"));
}

TEST_F(ParametersTest, SetsHonourReadOnlyAndTypesAllOrNothing) {
  init({"prog"});
  auto n = node();
  const auto params = n->get_node_parameters_interface();
  rcl_interfaces::msg::ParameterDescriptor read_only;
  read_only.read_only = true;
  n->declare_parameter("fixed", ParameterValue(1), read_only);
  n->declare_parameter("strict", ParameterValue(1));

  const auto refused = params->set_parameters_atomically(
      {Parameter("strict", ParameterValue(2)), Parameter("fixed", ParameterValue(2))});
  EXPECT_FALSE(refused.successful);
  EXPECT_EQ(refused.reason, "parameter 'fixed' cannot be set because it is read-only");
  EXPECT_EQ(value_of<int64_t>(*n, "strict"), 1);  // all or nothing
  EXPECT_EQ(params->set_parameters_atomically({Parameter("strict", ParameterValue())}).reason,
            "cannot undeclare an statically typed parameter");
  EXPECT_TRUE(
      params->set_parameters_atomically({Parameter("strict", ParameterValue(3))}).successful);
  EXPECT_EQ(value_of<int64_t>(*n, "strict"), 3);

  EXPECT_THROW(params->describe_parameters({"never"}),
               rclcpp::exceptions::ParameterNotDeclaredException);
  const auto described = params->describe_parameters({"fixed"});
  EXPECT_EQ(described[0].name, "fixed");
  EXPECT_EQ(described[0].type, ParameterType::PARAMETER_INTEGER);
  EXPECT_TRUE(described[0].read_only);
  EXPECT_EQ(
      params->get_parameter_types({"fixed", "use_sim_time"}),
      (std::vector<uint8_t>{ParameterType::PARAMETER_INTEGER, ParameterType::PARAMETER_BOOL}));
}

TEST_F(ParametersTest, ListingFollowsPrefixesAndDepth) {
  init({"prog"});
  auto n = node();
  for (const char* name : {"a", "b.c", "b.d.e", "bb"}) {
    n->declare_parameter(name, ParameterValue(1));
  }
  const auto params = n->get_node_parameters_interface();
  const auto everything = params->list_parameters({}, 0);
  const std::string events_qos = "qos_overrides./parameter_events.publisher";
  EXPECT_EQ(everything.names,
            (Names{"a", "b.c", "b.d.e", "bb", events_qos + ".depth", events_qos + ".durability",
                   events_qos + ".history", events_qos + ".reliability", "use_sim_time"}));
  EXPECT_EQ(everything.prefixes, (Names{"b", "b.d", events_qos}));
  EXPECT_EQ(params->list_parameters({}, 1).names, (Names{"a", "bb", "use_sim_time"}));
  // Depth counts the "." below the prefix, its own included.
  EXPECT_EQ(params->list_parameters({"b"}, 2).names, (Names{"b.c"}));
  EXPECT_EQ(params->list_parameters({"b", "a"}, 0).names, (Names{"a", "b.c", "b.d.e"}));
}

TEST_F(ParametersTest, TheParameterEventsQosIsShownByReadOnlyParametersThatOverridesSet) {
  const std::string prefix = "qos_overrides./parameter_events.publisher.";
  init({"prog", "--ros-args", "-p", prefix + "depth:=5", "-p",
        prefix + "durability:=transient_local"});
  auto n = node();
  EXPECT_EQ(value_of<int64_t>(*n, prefix + "depth"), 5);
  EXPECT_EQ(value_of<std::string>(*n, prefix + "durability"), "transient_local");
  EXPECT_EQ(value_of<std::string>(*n, prefix + "history"), "keep_last");
  EXPECT_EQ(value_of<std::string>(*n, prefix + "reliability"), "reliable");
  const auto params = n->get_node_parameters_interface();
  EXPECT_EQ(params->describe_parameters({prefix + "history"})[0].description,
            "qos policy {history} for publisher {/parameter_events}");
  EXPECT_EQ(
      params->set_parameters_atomically({Parameter(prefix + "depth", ParameterValue(6))}).reason,
      "parameter '" + prefix + "depth' cannot be set because it is read-only");
  // Only a transient-local publisher matches a transient-local subscription.
  auto latched = n->create_subscription<rcl_interfaces::msg::ParameterEvent>(
      "/parameter_events", rclcpp::QoS(5).transient_local(),
      [](const rcl_interfaces::msg::ParameterEvent&) {});
  EXPECT_TRUE(test_support::PollUntil(std::chrono::seconds(5),
                                      [&] { return latched->get_publisher_count() == 1; }));

  init({"prog", "--ros-args", "-p", prefix + "history:=keep_some"});
  EXPECT_THROW(node(), std::invalid_argument);
}

TEST_F(ParametersTest, DeclaringAndSettingArePublishedAsParameterEvents) {
  init({"prog"});
  auto n = std::make_shared<rclcpp::Node>("events", "/robot", options());
  Inbox<rcl_interfaces::msg::ParameterEvent> inbox;
  auto subscription = n->create_subscription<rcl_interfaces::msg::ParameterEvent>(
      "/parameter_events", rclcpp::QoS(100),
      [&inbox](const rcl_interfaces::msg::ParameterEvent& event) { inbox.add(event); });
  auto executor = std::make_shared<rclcpp::executors::SingleThreadedExecutor>(executor_options());
  executor->add_node(n);
  spin_in_background(executor);
  ASSERT_TRUE(test_support::PollUntil(std::chrono::seconds(5),
                                      [&] { return subscription->get_publisher_count() == 1; }));

  n->declare_parameter("speed", ParameterValue(3));
  n->get_node_parameters_interface()->set_parameters_atomically(
      {Parameter("speed", ParameterValue(4))});
  const auto events = inbox.wait_for(2);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].node, "/robot/events");
  ASSERT_EQ(events[0].new_parameters.size(), 1u);
  EXPECT_EQ(events[0].new_parameters[0], Parameter("speed", ParameterValue(3)).to_parameter_msg());
  ASSERT_EQ(events[1].changed_parameters.size(), 1u);
  EXPECT_EQ(events[1].changed_parameters[0].value.integer_value, 4);
  EXPECT_GT(events[1].stamp.sec, 0);
}
