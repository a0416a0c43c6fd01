// Node parameters: declaring with defaults and overrides (from -p, parameter files and
// NodeOptions, in rclcpp's precedence), reading them, and the exceptions rclcpp documents.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "rclcpp/rclcpp.hpp"

using rclcpp::ParameterValue;

namespace {

/// A context initialised with a command line, shut down at the end of the test.
class ParametersTest : public ::testing::Test {
protected:
  void TearDown() override {
    if (context_) {
      context_->shutdown("test done");
    }
  }

  void init(const std::vector<std::string>& args) {
    std::vector<const char*> argv;
    for (const auto& arg : args) {
      argv.push_back(arg.c_str());
    }
    context_ = std::make_shared<rclcpp::Context>();
    context_->init(static_cast<int>(argv.size()), argv.data());
  }

  rclcpp::NodeOptions options() const { return rclcpp::NodeOptions().context(context_); }

  std::shared_ptr<rclcpp::Node> node(const std::string& name = "bottom_interact_center",
                                     const std::string& namespace_ = "") {
    return std::make_shared<rclcpp::Node>(name, namespace_, options());
  }

  rclcpp::Context::SharedPtr context_;
};

std::string write_params_file(const std::string& content) {
  char path[] = "/tmp/api_params_XXXXXX.yaml";
  const int fd = mkstemps(path, 5);
  close(fd);
  std::ofstream(path) << content;
  return path;
}

}  // namespace

TEST_F(ParametersTest, DeclareReturnsTheDefaultWithoutAnOverride) {
  init({"prog"});
  auto n = node();
  EXPECT_EQ(n->declare_parameter("battery_source_path", "/sys/battery"), "/sys/battery");
  EXPECT_EQ(n->declare_parameter("port", 9000), 9000);
  EXPECT_DOUBLE_EQ(n->declare_parameter("ratio", 0.5), 0.5);
  EXPECT_TRUE(n->declare_parameter("enabled", true));
  EXPECT_EQ(n->declare_parameter("ids", std::vector<int64_t>{1, 2}), (std::vector<int64_t>{1, 2}));
  static_assert(std::is_same<decltype(n->declare_parameter("x", 1)), int64_t>::value,
                "integral parameters read back as int64_t");
  static_assert(std::is_same<decltype(n->declare_parameter("y", 1.0f)), double>::value,
                "floating point parameters read back as double");
  static_assert(std::is_same<decltype(n->declare_parameter("z", "s")), std::string>::value,
                "string literals read back as std::string");
}

TEST_F(ParametersTest, CommandLineOverridesReachDeclareParameter) {
  init({"prog", "--ros-args", "-p", "battery_source_path:=/dev/bat1", "-p",
        "bottom_interact_center:port:=0x2328", "-p", "other_node:port:=1"});
  auto n = node();
  EXPECT_EQ(n->declare_parameter("battery_source_path", std::string("/sys/battery")), "/dev/bat1");
  EXPECT_EQ(n->declare_parameter("port", 1), 9000);
  EXPECT_EQ(n->get_parameter("port").as_int(), 9000);
  EXPECT_EQ(n->declare_parameter("ignored", 5, rcl_interfaces::msg::ParameterDescriptor(), true),
            5);
}

TEST_F(ParametersTest, ParameterFileOverridesReachDeclareParameter) {
  const std::string file = write_params_file(R"(
/robot/bottom_interact_center:
  ros__parameters:
    battery_source_path: /dev/bat2
    links:
      procter_port: 9100
/**:
  ros__parameters:
    use_sim_time: false
)");
  init({"prog", "--ros-args", "--params-file", file});
  std::remove(file.c_str());
  auto n = node("bottom_interact_center", "robot");
  EXPECT_EQ(n->declare_parameter<std::string>("battery_source_path"), "/dev/bat2");
  EXPECT_EQ(n->declare_parameter("links.procter_port", 0), 9100);
  EXPECT_EQ(node("other")->get_node_parameters_interface()->get_parameter_overrides().count(
                "battery_source_path"),
            0u);
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
  EXPECT_THROW(n->declare_parameter<double>("ratio"),
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
  rclcpp::Parameter parameter;
  EXPECT_FALSE(n->get_parameter("undeclared", parameter));
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

TEST_F(ParametersTest, OverridesCanBeDeclaredAutomatically) {
  init({"prog", "--ros-args", "-p", "auto:=1.5"});
  auto n = std::make_shared<rclcpp::Node>(
      "n", options().automatically_declare_parameters_from_overrides(true));
  EXPECT_TRUE(n->has_parameter("auto"));
  EXPECT_DOUBLE_EQ(n->get_parameter("auto").as_double(), 1.5);
}

TEST_F(ParametersTest, DeclaringTwiceOrWithoutANameOrValueThrows) {
  init({"prog"});
  auto n = node();
  n->declare_parameter("once", 1);
  try {
    n->declare_parameter("once", 2);
    FAIL() << "expected ParameterAlreadyDeclaredException";
  } catch (const rclcpp::exceptions::ParameterAlreadyDeclaredException& error) {
    EXPECT_STREQ(error.what(), "parameter 'once' has already been declared");
  }
  EXPECT_THROW(n->declare_parameter("", 1), rclcpp::exceptions::InvalidParametersException);
  try {
    n->declare_parameter<int64_t>("needs_value");
    FAIL() << "expected UninitializedStaticallyTypedParameterException";
  } catch (const rclcpp::exceptions::UninitializedStaticallyTypedParameterException& error) {
    EXPECT_STREQ(error.what(), "Statically typed parameter 'needs_value' must be initialized.");
  }
  EXPECT_THROW(n->declare_parameter("not_set", rclcpp::ParameterValue()),
               rclcpp::exceptions::InvalidParameterTypeException);
  EXPECT_THROW(n->declare_parameter("no_type", rclcpp::PARAMETER_NOT_SET), std::invalid_argument);
}

TEST_F(ParametersTest, ATypeOnlyDeclarationWithoutOverrideIsUninitialized) {
  init({"prog", "--ros-args", "-p", "typed:=seven"});
  auto n = node();
  EXPECT_EQ(
      n->declare_parameter("typed", rclcpp::ParameterType::PARAMETER_STRING).get<std::string>(),
      "seven");
  n->declare_parameter("empty", rclcpp::ParameterType::PARAMETER_INTEGER);
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
  try {
    n->get_parameter("path", wrong);
    FAIL() << "expected InvalidParameterTypeException";
  } catch (const rclcpp::exceptions::InvalidParameterTypeException& error) {
    EXPECT_STREQ(error.what(),
                 "parameter 'path' has invalid type: expected [integer] got [string]");
  }
  EXPECT_THROW(n->get_parameter("path").as_int(), rclcpp::ParameterTypeException);
  EXPECT_EQ(n->get_parameter_or("missing", std::string("fallback")), "fallback");
  EXPECT_EQ(n->get_parameter("path").value_to_string(), "/dev/x");
}

TEST_F(ParametersTest, RangesInTheDescriptorAreEnforced) {
  init({"prog", "--ros-args", "-p", "speed:=15", "-p", "gain:=0.3"});
  auto n = node();
  rcl_interfaces::msg::ParameterDescriptor speed_range;
  speed_range.integer_range.push_back(rcl_interfaces::msg::IntegerRange());
  speed_range.integer_range[0].from_value = 0;
  speed_range.integer_range[0].to_value = 10;
  try {
    n->declare_parameter("speed", 5, speed_range);
    FAIL() << "expected InvalidParameterValueException";
  } catch (const rclcpp::exceptions::InvalidParameterValueException& error) {
    EXPECT_STREQ(error.what(),
                 "parameter 'speed' could not be set: Parameter {speed} doesn't comply with "
                 "integer range.");
  }
  rcl_interfaces::msg::ParameterDescriptor gain_range;
  gain_range.floating_point_range.push_back({0.0, 1.0, 0.1});
  EXPECT_DOUBLE_EQ(n->declare_parameter("gain", 0.0, gain_range), 0.3);
}

TEST_F(ParametersTest, UseSimTimeIsDeclaredLikeOnEveryRosNode) {
  init({"prog"});
  auto n = node();
  EXPECT_TRUE(n->has_parameter("use_sim_time"));
  EXPECT_FALSE(n->get_parameter("use_sim_time").as_bool());
}
