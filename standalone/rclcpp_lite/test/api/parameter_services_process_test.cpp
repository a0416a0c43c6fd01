// Another process's node as the clients of this one see it: its parameter services answer as
// rclcpp's do, and its parameter changes arrive as events.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "api_test_context.hpp"
#include "peer_process.hpp"
#include "rcl_interfaces/msg/parameter_event.hpp"
#include "rcl_interfaces/srv/describe_parameters.hpp"
#include "rcl_interfaces/srv/get_parameter_types.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters_atomically.hpp"
#include "rclcpp/rclcpp.hpp"
#include "test_support/poll_until.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

using namespace std::chrono_literals;
using rcl_interfaces::msg::ParameterEvent;
using rcl_interfaces::msg::ParameterType;
using Types = std::vector<std::string>;

namespace {

// Discovery between processes normally takes milliseconds but may take one announcement period.
constexpr auto kDiscoveryTimeout = 15s;

rcl_interfaces::msg::Parameter parameter_message(const std::string& name,
                                                 const rclcpp::ParameterValue& value) {
  return rclcpp::Parameter(name, value).to_parameter_msg();
}

/// An observing node here, spun in the background; the peer's node under a name of its own.
class ParameterServicesProcessTest : public ContextTest {
protected:
  void SetUp() override {
    init({"parameter_services_process_test"});
    node_ = spun_node("parameter_observer");
  }

  /// The peer in `role` (server or talker) on the name peer_endpoint_.
  void start_peer(const std::string& role) {
    peer_ = std::make_unique<PeerProcess>(
        API_TEST_PEER, std::vector<std::string>{"--ros-args", "-r", "__node:=" + peer_name_, "-p",
                                                "role:=" + role, "-p", "name:=" + peer_endpoint_});
  }

  /// Calls the service and waits for the answer; null if there is none in time.
  template <typename ServiceT>
  std::shared_ptr<typename ServiceT::Response> call(const std::string& name,
                                                    const typename ServiceT::Request& request) {
    auto client = node_->create_client<ServiceT>(name);
    if (!client->wait_for_service(kDiscoveryTimeout)) {
      return nullptr;
    }
    auto pending =
        client->async_send_request(std::make_shared<typename ServiceT::Request>(request));
    if (pending.wait_for(10s) != std::future_status::ready) {
      return nullptr;
    }
    return pending.get();
  }

  /// The peer's values of `names` through its get_parameters service.
  std::vector<rcl_interfaces::msg::ParameterValue> peer_values(const Types& names) {
    rcl_interfaces::srv::GetParameters::Request request;
    request.names = names;
    const auto response =
        call<rcl_interfaces::srv::GetParameters>(peer_fqn_ + "/get_parameters", request);
    return response ? response->values : std::vector<rcl_interfaces::msg::ParameterValue>();
  }

  const std::string peer_name_ = unique_name("parameter_peer");
  const std::string peer_fqn_ = "/" + peer_name_;
  const std::string peer_endpoint_ = unique_name("parameter_endpoint");
  rclcpp::Node::SharedPtr node_;
  std::unique_ptr<PeerProcess> peer_;
};

}  // namespace

TEST_F(ParameterServicesProcessTest, ParameterServicesOfAnotherProcessAnswerAsRclcppDoes) {
  start_peer("server");
  rcl_interfaces::srv::ListParameters::Request list;
  const auto listed =
      call<rcl_interfaces::srv::ListParameters>(peer_fqn_ + "/list_parameters", list);
  ASSERT_TRUE(listed) << peer_->output();
  const std::string events_qos = "qos_overrides./parameter_events.publisher.";
  EXPECT_EQ(listed->result.names,
            (Types{"name", events_qos + "depth", events_qos + "durability", events_qos + "history",
                   events_qos + "reliability", "reentrant", "role", "use_sim_time"}));

  const auto values = peer_values({"role", "reentrant"});
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].type, ParameterType::PARAMETER_STRING);
  EXPECT_EQ(values[0].string_value, "server");
  EXPECT_EQ(values[1].type, ParameterType::PARAMETER_BOOL);
  // One undeclared name empties the whole answer.
  EXPECT_TRUE(peer_values({"role", "undeclared"}).empty());

  Inbox<ParameterEvent> events;
  auto subscription = node_->create_subscription<ParameterEvent>(
      "/parameter_events", rclcpp::QoS(100),
      [&events](const ParameterEvent& event) { events.add(event); });
  ASSERT_TRUE(test_support::PollUntil(kDiscoveryTimeout,
                                      [&] { return subscription->get_publisher_count() >= 2; }));

  rcl_interfaces::srv::SetParameters::Request set;
  set.parameters = {parameter_message("reentrant", rclcpp::ParameterValue(true)),
                    parameter_message("reentrant", rclcpp::ParameterValue("yes")),
                    parameter_message("undeclared", rclcpp::ParameterValue(1))};
  const auto results = call<rcl_interfaces::srv::SetParameters>(peer_fqn_ + "/set_parameters", set);
  ASSERT_TRUE(results);
  ASSERT_EQ(results->results.size(), 3u);
  EXPECT_TRUE(results->results[0].successful);
  EXPECT_EQ(results->results[1].reason,
            "Wrong parameter type, parameter {reentrant} is of type {bool}, setting it to "
            "{string} is not allowed.");
  EXPECT_EQ(results->results[2].reason,
            "parameter 'undeclared' cannot be set because it was not declared");

  rcl_interfaces::srv::SetParametersAtomically::Request atomically;
  atomically.parameters = {parameter_message("role", rclcpp::ParameterValue("talker")),
                           parameter_message("undeclared", rclcpp::ParameterValue(1))};
  const auto result = call<rcl_interfaces::srv::SetParametersAtomically>(
      peer_fqn_ + "/set_parameters_atomically", atomically);
  ASSERT_TRUE(result);
  EXPECT_FALSE(result->result.successful);
  EXPECT_EQ(result->result.reason, "One or more parameters were not declared before setting");

  const auto after = peer_values({"role", "reentrant"});
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].string_value, "server");
  EXPECT_TRUE(after[1].bool_value);
  EXPECT_FALSE(
      events
          .wait_until([&](const std::vector<ParameterEvent>& arrived) {
            return std::any_of(arrived.begin(), arrived.end(), [&](const ParameterEvent& event) {
              return event.node == peer_fqn_ && event.changed_parameters.size() == 1u &&
                     event.changed_parameters[0].name == "reentrant" &&
                     event.changed_parameters[0].value.bool_value;
            });
          })
          .empty());
}
