// The ROS 2 graph across processes: api_test_peer's node, announced on ros_discovery_info, is
// seen here with its services and topics until it ends, and its parameter services answer the
// clients of this process as rclcpp's do.
#include <gtest/gtest.h>

#include <signal.h>

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

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

rcl_interfaces::msg::Parameter parameter_message(const std::string& name,
                                                 const rclcpp::ParameterValue& value) {
  return rclcpp::Parameter(name, value).to_parameter_msg();
}

/// An observing node here, spun in the background; the peer's node under a name of its own.
class GraphProcessTest : public ContextTest {
protected:
  void SetUp() override {
    init({"graph_process_test"});
    auto executor = std::make_shared<rclcpp::executors::SingleThreadedExecutor>(executor_options());
    node_ = std::make_shared<rclcpp::Node>("graph_observer", options());
    executor->add_node(node_);
    spin_in_background(executor);
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

  const std::string peer_name_ = unique_name("graph_peer");
  const std::string peer_fqn_ = "/" + peer_name_;
  const std::string peer_endpoint_ = unique_name("graph_endpoint");
  rclcpp::Node::SharedPtr node_;
  std::unique_ptr<PeerProcess> peer_;
};

}  // namespace

TEST_F(GraphProcessTest, AnotherProcesssNodeIsInTheGraphWithItsEndpointsUntilItEnds) {
  start_peer("talker");
  ASSERT_TRUE(test_support::PollUntil(kDiscoveryTimeout, [&] {
    return contains(node_->get_node_names(), peer_fqn_);
  })) << peer_->output();
  EXPECT_TRUE(contains(node_->get_node_names(), "/graph_observer"));

  std::map<std::string, Types> served;
  EXPECT_TRUE(test_support::PollUntil(kDiscoveryTimeout, [&] {
    served = node_->get_service_names_and_types_by_node(peer_name_, "/");
    return served.size() == 6u;  // the parameter services
  }));
  EXPECT_EQ(served[peer_fqn_ + "/set_parameters"], Types{"rcl_interfaces/srv/SetParameters"});
  EXPECT_THROW(node_->get_service_names_and_types_by_node(peer_name_, "/elsewhere"),
               std::runtime_error);
  // A client makes a service known to the graph but its node no server of it.
  const std::string unserved = unique_name("graph_unserved");
  auto client = node_->create_client<velmoria_protocol::srv::BottomInteractSrv>(unserved);
  EXPECT_EQ(node_->get_service_names_and_types()["/" + unserved],
            Types{"velmoria_protocol/srv/BottomInteractSrv"});
  EXPECT_EQ(node_->get_service_names_and_types_by_node("graph_observer", "/").count("/" + unserved),
            0u);

  EXPECT_TRUE(test_support::PollUntil(
      kDiscoveryTimeout, [&] { return node_->count_publishers(peer_endpoint_) == 1u; }));
  EXPECT_EQ(node_->count_subscribers(peer_endpoint_), 0u);
  const auto topics = node_->get_topic_names_and_types();
  EXPECT_EQ(topics.at("/" + peer_endpoint_), Types{"velmoria_protocol/msg/RobotEvent"});
  // Both nodes publish their log lines and parameter events.
  EXPECT_EQ(topics.at("/rosout"), Types{"rcl_interfaces/msg/Log"});
  EXPECT_EQ(node_->count_publishers("/parameter_events"), 2u);

  peer_->send_signal(SIGTERM);
  EXPECT_EQ(peer_->wait_for_exit(10s), 0) << peer_->output();
  EXPECT_TRUE(test_support::PollUntil(kDiscoveryTimeout, [&] {
    return !contains(node_->get_node_names(), peer_fqn_) &&
           node_->get_service_names_and_types().count(peer_fqn_ + "/get_parameters") == 0 &&
           node_->count_publishers(peer_endpoint_) == 0u;
  }));
}

TEST_F(GraphProcessTest, ParameterServicesOfAnotherProcessAnswerAsRclcppDoes) {
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

  rcl_interfaces::srv::GetParameterTypes::Request types;
  types.names = {"role", "reentrant"};
  const auto typed =
      call<rcl_interfaces::srv::GetParameterTypes>(peer_fqn_ + "/get_parameter_types", types);
  ASSERT_TRUE(typed);
  EXPECT_EQ(typed->types,
            (std::vector<uint8_t>{ParameterType::PARAMETER_STRING, ParameterType::PARAMETER_BOOL}));
  rcl_interfaces::srv::DescribeParameters::Request describe;
  describe.names = {"name"};
  const auto described =
      call<rcl_interfaces::srv::DescribeParameters>(peer_fqn_ + "/describe_parameters", describe);
  ASSERT_TRUE(described);
  ASSERT_EQ(described->descriptors.size(), 1u);
  EXPECT_EQ(described->descriptors[0].name, "name");
  EXPECT_EQ(described->descriptors[0].type, ParameterType::PARAMETER_STRING);

  std::mutex events_mutex;
  std::vector<ParameterEvent> events;
  auto subscription = node_->create_subscription<ParameterEvent>(
      "/parameter_events", rclcpp::QoS(100), [&](const ParameterEvent& event) {
        std::lock_guard<std::mutex> lock(events_mutex);
        events.push_back(event);
      });
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
  EXPECT_TRUE(test_support::PollUntil(kDiscoveryTimeout, [&] {
    std::lock_guard<std::mutex> lock(events_mutex);
    return std::any_of(events.begin(), events.end(), [&](const ParameterEvent& event) {
      return event.node == peer_fqn_ && event.changed_parameters.size() == 1u &&
             event.changed_parameters[0].name == "reentrant" &&
             event.changed_parameters[0].value.bool_value;
    });
  }));
}
