// Node parameters: declaring with defaults and overrides (from -p, parameter files and
// NodeOptions, in rclcpp's precedence), reading, setting, describing and listing them (what the
// parameter services answer), and the exceptions rclcpp documents.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
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

std::string write_params_file(const std::string& content) {
  char path[] = "/tmp/api_params_XXXXXX.yaml";
  const int fd = mkstemps(path, 5);
  close(fd);
  std::ofstream(path) << content;
  return path;
}

}  // namespace

TEST_F(ParametersTest, OverridesFromRulesAndFilesReachDeclareParameter) {
  const std::string file = write_params_file(R"(
/robot/bottom_interact_center:
  ros__parameters:
    battery_source_path: /dev/bat2
    links:
      procter_port: 9100
)");
  init({"prog", "--ros-args", "-p", "battery_source_path:=/dev/bat1", "-p",
        "bottom_interact_center:port:=0x2328", "-p", "other_node:port:=1", "-p", "ignored:=6",
        "--params-file", file});
  std::remove(file.c_str());
  auto n = node();
  EXPECT_EQ(n->declare_parameter("battery_source_path", std::string("/sys/battery")), "/dev/bat1");
  EXPECT_EQ(n->declare_parameter("port", 1), 9000);
  EXPECT_EQ(n->get_parameter("port").as_int(), 9000);
  EXPECT_EQ(n->declare_parameter("ignored", 5, rcl_interfaces::msg::ParameterDescriptor(), true),
            5);
  auto in_robot = node("bottom_interact_center", "robot");
  EXPECT_EQ(in_robot->declare_parameter<std::string>("battery_source_path"), "/dev/bat2");
  EXPECT_EQ(in_robot->declare_parameter("links.procter_port", 0), 9100);
}

TEST_F(ParametersTest, NodeArgumentsOverrideGlobalOnesAndNodeOptionsOverrideBoth) {
  init({"prog", "--ros-args", "-p", "a:=global", "-p", "b:=global", "-p", "c:=global"});
  auto n = std::make_shared<rclcpp::Node>(
      "n", options()
               .arguments({"--ros-args", "-p", "b:=local", "-p", "c:=local"})
               .append_parameter_override("c", "options"));
  const auto& overrides = n->get_node_parameters_interface()->get_parameter_overrides();
  EXPECT_EQ(overrides.at("a"), ParameterValue("global"));
  EXPECT_EQ(overrides.at("b"), ParameterValue("local"));
  EXPECT_EQ(overrides.at("c"), ParameterValue("options"));

  auto without_global = std::make_shared<rclcpp::Node>("m", options().use_global_arguments(false));
  EXPECT_TRUE(without_global->get_node_parameters_interface()->get_parameter_overrides().empty());
}

TEST_F(ParametersTest, AWronglyTypedOverrideThrowsInvalidParameterType) {
  init({"prog", "--ros-args", "-p", "port:=5", "-p", "ratio:=1"});
  auto n = node();
  try {
    n->declare_parameter("port", std::string("ttyS1"));
    FAIL() << "expected InvalidParameterTypeException";
  } catch (const rclcpp::exceptions::InvalidParameterTypeException& error) {
    EXPECT_STREQ(error.what(),
                 "parameter 'port' has invalid type: Wrong parameter type, parameter {port} is of "
                 "type {string}, setting it to {integer} is not allowed.");
  }
  EXPECT_FALSE(n->has_parameter("port"));
  // No conversion: an integer override does not fit a double parameter.
  EXPECT_THROW(n->declare_parameter("ratio", 0.5),
               rclcpp::exceptions::InvalidParameterTypeException);
}

TEST_F(ParametersTest, AnUndeclaredOverrideIsVisibleOnlyThroughTheOverridesMap) {
  init({"prog", "--ros-args", "-p", "undeclared:=42"});
  auto n = node();
  EXPECT_FALSE(n->has_parameter("undeclared"));
  try {
    n->get_parameter("undeclared");
    FAIL() << "expected ParameterNotDeclaredException";
  } catch (const rclcpp::exceptions::ParameterNotDeclaredException& error) {
    EXPECT_STREQ(error.what(), "undeclared");
  }
  int64_t value = -1;
  EXPECT_FALSE(n->get_parameter("undeclared", value));
  EXPECT_EQ(value, -1);
  EXPECT_EQ(n->get_node_parameters_interface()->get_parameter_overrides().at("undeclared"),
            ParameterValue(int64_t{42}));

  auto permissive =
      std::make_shared<rclcpp::Node>("permissive", options().allow_undeclared_parameters(true));
  EXPECT_EQ(permissive->get_parameter("undeclared").get_type(), rclcpp::PARAMETER_NOT_SET);
  EXPECT_FALSE(permissive->has_parameter("undeclared"));
}

TEST_F(ParametersTest, DeclarationsWithoutAUsableNameTypeOrValueThrow) {
  init({"prog", "--ros-args", "-p", "typed:=seven"});
  auto n = node();
  n->declare_parameter("once", 1);
  EXPECT_THROW(n->declare_parameter("once", 2),
               rclcpp::exceptions::ParameterAlreadyDeclaredException);
  EXPECT_THROW(n->declare_parameter("", 1), rclcpp::exceptions::InvalidParametersException);
  EXPECT_THROW(n->declare_parameter<int64_t>("needs_value"),
               rclcpp::exceptions::UninitializedStaticallyTypedParameterException);
  EXPECT_THROW(n->declare_parameter("not_set", rclcpp::ParameterValue()),
               rclcpp::exceptions::InvalidParameterTypeException);
  EXPECT_THROW(n->declare_parameter("no_type", rclcpp::PARAMETER_NOT_SET), std::invalid_argument);
  // A type-only declaration takes an override; without one it is declared but uninitialized.
  EXPECT_EQ(n->declare_parameter("typed", rclcpp::PARAMETER_STRING).get<std::string>(), "seven");
  n->declare_parameter("empty", rclcpp::PARAMETER_INTEGER);
  EXPECT_TRUE(n->has_parameter("empty"));
  EXPECT_THROW(n->get_parameter("empty"), rclcpp::exceptions::ParameterUninitializedException);
  rclcpp::Parameter parameter;
  EXPECT_FALSE(n->get_parameter("empty", parameter));
}

TEST_F(ParametersTest, TypedReadsCheckTheType) {
  init({"prog"});
  auto n = node();
  n->declare_parameter("path", "/dev/x");
  std::string path;
  EXPECT_TRUE(n->get_parameter("path", path));
  EXPECT_EQ(path, "/dev/x");
  int64_t wrong = 0;
  EXPECT_THROW(n->get_parameter("path", wrong), rclcpp::exceptions::InvalidParameterTypeException);
  EXPECT_THROW(n->get_parameter("path").as_int(), rclcpp::ParameterTypeException);
  // Declared on every node, as by rclcpp's time source.
  EXPECT_FALSE(n->get_parameter("use_sim_time").as_bool());
}

TEST_F(ParametersTest, RangesInTheDescriptorAreEnforced) {
  init({"prog", "--ros-args", "-p", "speed:=15", "-p", "gain:=0.3"});
  auto n = node();
  rcl_interfaces::msg::ParameterDescriptor speed_range;
  speed_range.integer_range.push_back(rcl_interfaces::msg::IntegerRange());
  speed_range.integer_range[0].from_value = 0;
  speed_range.integer_range[0].to_value = 10;
  EXPECT_THROW(n->declare_parameter("speed", 5, speed_range),
               rclcpp::exceptions::InvalidParameterValueException);
  rcl_interfaces::msg::ParameterDescriptor gain_range;
  gain_range.floating_point_range.push_back(
      rcl_interfaces::msg::FloatingPointRange().set__from_value(0.0).set__to_value(1.0).set__step(
          0.1));
  EXPECT_DOUBLE_EQ(n->declare_parameter("gain", 0.0, gain_range), 0.3);
  EXPECT_EQ(n->get_node_parameters_interface()->set_parameters({Parameter("gain", 0.35)})[0].reason,
            "Parameter {gain} doesn't comply with floating point range.");
  EXPECT_DOUBLE_EQ(n->get_parameter("gain").as_double(), 0.3);
}

TEST_F(ParametersTest, SetsHonourReadOnlyAndStaticTypesAndUnsetValuesUndeclare) {
  init({"prog"});
  auto n = node();
  const auto params = n->get_node_parameters_interface();
  rcl_interfaces::msg::ParameterDescriptor read_only;
  read_only.read_only = true;
  n->declare_parameter("fixed", 1, read_only);
  rcl_interfaces::msg::ParameterDescriptor dynamic;
  dynamic.dynamic_typing = true;
  n->declare_parameter("loose", 1, dynamic);
  n->declare_parameter("strict", 1);

  const auto refused =
      params->set_parameters_atomically({Parameter("strict", 2), Parameter("fixed", 2)});
  EXPECT_FALSE(refused.successful);
  EXPECT_EQ(refused.reason, "parameter 'fixed' cannot be set because it is read-only");
  EXPECT_EQ(n->get_parameter("strict").as_int(), 1);  // all or nothing

  EXPECT_TRUE(params->set_parameters_atomically({Parameter("loose", "text")}).successful);
  EXPECT_EQ(
      params->get_parameter_types({"loose", "strict"}),
      (std::vector<uint8_t>{ParameterType::PARAMETER_STRING, ParameterType::PARAMETER_INTEGER}));
  const auto unset = params->set_parameters({Parameter("strict"), Parameter("loose")});
  EXPECT_EQ(unset[0].reason, "cannot undeclare an statically typed parameter");
  EXPECT_TRUE(unset[1].successful);
  EXPECT_TRUE(n->has_parameter("strict"));
  EXPECT_FALSE(n->has_parameter("loose"));

  EXPECT_THROW(params->set_parameters({Parameter("never", 1)}),
               rclcpp::exceptions::ParameterNotDeclaredException);
  EXPECT_THROW(params->get_parameters({"strict", "never"}),
               rclcpp::exceptions::ParameterNotDeclaredException);
  EXPECT_THROW(params->describe_parameters({"never"}),
               rclcpp::exceptions::ParameterNotDeclaredException);
  const auto described = params->describe_parameters({"fixed"});
  EXPECT_EQ(described[0].name, "fixed");
  EXPECT_EQ(described[0].type, ParameterType::PARAMETER_INTEGER);
  EXPECT_TRUE(described[0].read_only);
}

TEST_F(ParametersTest, AllowedUndeclaredParametersAreDeclaredBySettingThem) {
  init({"prog"});
  auto n =
      std::make_shared<rclcpp::Node>("permissive", options().allow_undeclared_parameters(true));
  const auto params = n->get_node_parameters_interface();
  EXPECT_TRUE(params->set_parameters({Parameter("free", 3)})[0].successful);
  EXPECT_TRUE(params->describe_parameters({"free"})[0].dynamic_typing);
  EXPECT_TRUE(params->set_parameters({Parameter("free", "three")})[0].successful);
  const auto unknown = params->describe_parameters({"unknown"});
  EXPECT_EQ(unknown[0].name, "unknown");
  EXPECT_EQ(unknown[0].type, ParameterType::PARAMETER_NOT_SET);
  EXPECT_EQ(params->get_parameter_types({"unknown"}),
            std::vector<uint8_t>{ParameterType::PARAMETER_NOT_SET});
  const auto values = params->get_parameters({"free", "unknown"});
  EXPECT_EQ(values[0].as_string(), "three");
  EXPECT_EQ(values[1].get_type(), rclcpp::PARAMETER_NOT_SET);
}

TEST_F(ParametersTest, ListingFollowsPrefixesAndDepth) {
  init({"prog"});
  auto n = node();
  for (const char* name : {"a", "b.c", "b.d.e", "bb"}) {
    n->declare_parameter(name, 1);
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
  EXPECT_EQ(n->get_parameter(prefix + "depth").as_int(), 5);
  EXPECT_EQ(n->get_parameter(prefix + "durability").as_string(), "transient_local");
  EXPECT_EQ(n->get_parameter(prefix + "history").as_string(), "keep_last");
  EXPECT_EQ(n->get_parameter(prefix + "reliability").as_string(), "reliable");
  const auto params = n->get_node_parameters_interface();
  EXPECT_EQ(params->describe_parameters({prefix + "history"})[0].description,
            "qos policy {history} for publisher {/parameter_events}");
  EXPECT_EQ(params->set_parameters({Parameter(prefix + "depth", 6)})[0].reason,
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

TEST_F(ParametersTest, DeclaringSettingAndUndeclaringArePublishedAsParameterEvents) {
  init({"prog"});
  auto n = std::make_shared<rclcpp::Node>("events", "/robot", options());
  std::mutex mutex;
  std::vector<rcl_interfaces::msg::ParameterEvent> events;
  auto subscription = n->create_subscription<rcl_interfaces::msg::ParameterEvent>(
      "/parameter_events", rclcpp::QoS(100), [&](const rcl_interfaces::msg::ParameterEvent& event) {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(event);
      });
  auto executor = std::make_shared<rclcpp::executors::SingleThreadedExecutor>(executor_options());
  executor->add_node(n);
  spin_in_background(executor);
  ASSERT_TRUE(test_support::PollUntil(std::chrono::seconds(5),
                                      [&] { return subscription->get_publisher_count() == 1; }));

  rcl_interfaces::msg::ParameterDescriptor dynamic;
  dynamic.dynamic_typing = true;
  n->declare_parameter("speed", 3, dynamic);
  n->get_node_parameters_interface()->set_parameters({Parameter("speed", 4)});
  n->get_node_parameters_interface()->set_parameters({Parameter("speed")});
  ASSERT_TRUE(test_support::PollUntil(std::chrono::seconds(5), [&] {
    std::lock_guard<std::mutex> lock(mutex);
    return events.size() == 3u;
  }));
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_EQ(events[0].node, "/robot/events");
  ASSERT_EQ(events[0].new_parameters.size(), 1u);
  EXPECT_EQ(Parameter::from_parameter_msg(events[0].new_parameters[0]), Parameter("speed", 3));
  ASSERT_EQ(events[1].changed_parameters.size(), 1u);
  EXPECT_EQ(events[1].changed_parameters[0].value.integer_value, 4);
  ASSERT_EQ(events[2].deleted_parameters.size(), 1u);
  EXPECT_EQ(events[2].deleted_parameters[0].name, "speed");
  EXPECT_GT(rclcpp::Time(events[2].stamp).nanoseconds(), 0);
}

TEST_F(ParametersTest, ValuesCrossTheirMessageFormWhole) {
  const Parameter parameter("speeds", std::vector<double>{1.5, -2.0});
  EXPECT_EQ(Parameter::from_parameter_msg(parameter.to_parameter_msg()), parameter);
  rcl_interfaces::msg::ParameterValue unknown;
  unknown.type = 42;
  EXPECT_THROW(ParameterValue{unknown}, std::runtime_error);
}
