// A node's parameter services as their clients see them over DDS: the answers rclcpp gives,
// undeclared names and type mismatches included.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "api_test_context.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters_atomically.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;
using rcl_interfaces::msg::ParameterType;
using rclcpp::ParameterValue;
using Types = std::vector<std::string>;

namespace {

rcl_interfaces::msg::Parameter parameter_message(const std::string& name,
                                                 const ParameterValue& value) {
  return rclcpp::Parameter(name, value).to_parameter_msg();
}

/// A node with parameters, and a client node; both spun in the background.
class ParameterServicesTest : public ContextTest {
protected:
  void SetUp() override {
    init({"parameter_services_test"});
    served_ = spun_node(served_name_);
    served_->declare_parameter("role", ParameterValue("server"));
    served_->declare_parameter("reentrant", ParameterValue(false));
    node_ = spun_node("parameter_client");
  }

  /// Calls the served node's service and waits for the answer; null if there is none in time.
  template <typename ServiceT>
  std::shared_ptr<typename ServiceT::Response> call(const std::string& service,
                                                    const typename ServiceT::Request& request) {
    auto client = node_->create_client<ServiceT>("/" + served_name_ + "/" + service);
    if (!client->wait_for_service(15s)) {
      return nullptr;
    }
    auto pending =
        client->async_send_request(std::make_shared<typename ServiceT::Request>(request));
    return pending.wait_for(10s) == std::future_status::ready ? pending.get() : nullptr;
  }

  std::vector<rcl_interfaces::msg::ParameterValue> values(const Types& names) {
    rcl_interfaces::srv::GetParameters::Request request;
    request.names = names;
    const auto response = call<rcl_interfaces::srv::GetParameters>("get_parameters", request);
    return response ? response->values : std::vector<rcl_interfaces::msg::ParameterValue>();
  }

  const std::string served_name_ = unique_name("parameter_peer");
  rclcpp::Node::SharedPtr served_;
  rclcpp::Node::SharedPtr node_;
};

}  // namespace

TEST_F(ParameterServicesTest, AnswerAsRclcppDoes) {
  const auto listed = call<rcl_interfaces::srv::ListParameters>(
      "list_parameters", rcl_interfaces::srv::ListParameters::Request());
  ASSERT_TRUE(listed);
  const std::string events_qos = "qos_overrides./parameter_events.publisher.";
  EXPECT_EQ(listed->result.names,
            (Types{events_qos + "depth", events_qos + "durability", events_qos + "history",
                   events_qos + "reliability", "reentrant", "role", "use_sim_time"}));

  const auto read = values({"role", "reentrant"});
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].string_value, "server");
  EXPECT_EQ(read[1].type, ParameterType::PARAMETER_BOOL);
  // One undeclared name empties the whole answer.
  EXPECT_TRUE(values({"role", "undeclared"}).empty());

  rcl_interfaces::srv::SetParameters::Request set;
  set.parameters = {parameter_message("reentrant", ParameterValue(true)),
                    parameter_message("reentrant", ParameterValue("yes")),
                    parameter_message("undeclared", ParameterValue(1))};
  const auto results = call<rcl_interfaces::srv::SetParameters>("set_parameters", set);
  ASSERT_TRUE(results);
  ASSERT_EQ(results->results.size(), 3u);
  EXPECT_TRUE(results->results[0].successful);
  EXPECT_EQ(results->results[1].reason,
            "Wrong parameter type, parameter {reentrant} is of type {bool}, setting it to "
            "{string} is not allowed.");
  EXPECT_EQ(results->results[2].reason,
            "parameter 'undeclared' cannot be set because it was not declared");

  rcl_interfaces::srv::SetParametersAtomically::Request atomically;
  atomically.parameters = {parameter_message("role", ParameterValue("talker")),
                           parameter_message("undeclared", ParameterValue(1))};
  const auto result =
      call<rcl_interfaces::srv::SetParametersAtomically>("set_parameters_atomically", atomically);
  ASSERT_TRUE(result);
  EXPECT_FALSE(result->result.successful);
  EXPECT_EQ(result->result.reason, "One or more parameters were not declared before setting");
  const auto after = values({"role", "reentrant"});
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].string_value, "server");
  EXPECT_TRUE(after[1].bool_value);
}
