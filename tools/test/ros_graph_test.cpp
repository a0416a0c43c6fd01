// The standalone build's node (on rclcpp_lite) as the ROS 2 command-line tools see it, beside the
// same node built against the real rclcpp: `ros2 node list` and `ros2 node info`, `ros2 param`,
// its log lines on /rosout, and its leaving the graph when it stops. Each case runs the real
// build first, and the standalone build must answer the tools as it did.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/node_test_support.hpp"
#include "support/ros2_cli.hpp"
#include "support/ros_peer.hpp"
#include "support/simulated_board_test.hpp"

namespace node_test {
namespace {

using Args = std::vector<std::string>;

const char* const kNode = "/bottom_interact_center";

// What `ros2 node info` lists of the node's own endpoints (its subscriptions differ: rclcpp's
// time source follows use_sim_time on /parameter_events, and rclcpp_lite has no simulated time).
const char* const kInfoEndpoints =
    "  Publishers:\n"
    "    /body_driver_diag_topic: velmoria_protocol/msg/DiagnosticEvent\n"
    "    /diagnostics: diagnostic_msgs/msg/DiagnosticArray\n"
    "    /parameter_events: rcl_interfaces/msg/ParameterEvent\n"
    "    /robot_event: velmoria_protocol/msg/RobotEvent\n"
    "    /rosout: rcl_interfaces/msg/Log\n"
    "    /task_center_diag_topic: velmoria_protocol/msg/DiagnosticEvent\n"
    "  Service Servers:\n"
    "    /bottom_interact_center/describe_parameters: rcl_interfaces/srv/DescribeParameters\n"
    "    /bottom_interact_center/get_parameter_types: rcl_interfaces/srv/GetParameterTypes\n"
    "    /bottom_interact_center/get_parameters: rcl_interfaces/srv/GetParameters\n"
    "    /bottom_interact_center/list_parameters: rcl_interfaces/srv/ListParameters\n"
    "    /bottom_interact_center/set_parameters: rcl_interfaces/srv/SetParameters\n"
    "    /bottom_interact_center/set_parameters_atomically: "
    "rcl_interfaces/srv/SetParametersAtomically\n"
    "    /bottom_operate: velmoria_protocol/srv/BottomInteractSrv\n"
    "  Service Clients:\n"
    "    /do_task: velmoria_protocol/srv/TaskCenterSrv\n"
    "    /robot_info_update: velmoria_protocol/srv/RobotInfoUpdate\n";

// `ros2 param` invocations in order, each with a text its answer holds once the tool has found
// the node.
const std::vector<std::pair<Args, std::string>> kParamSteps = {
    {{"list"}, "use_sim_time"},
    {{"get", "self_clean_pump"}, "value is"},
    {{"get", "battery_source_path"}, "value is"},
    {{"get", "mop_pump"}, "not set"},  // read from the start-up values only, never declared
    {{"describe", "self_clean_pump", "qos_overrides./parameter_events.publisher.depth"},
     "Parameter name: qos_overrides"},
    {{"set", "self_clean_pump", "44"}, "Set parameter"},
    {{"set", "self_clean_pump", "fast"}, "Setting parameter failed"},
    {{"set", "mop_pump", "55"}, "Setting parameter failed"},
    {{"set", "qos_overrides./parameter_events.publisher.depth", "3"}, "Setting parameter failed"},
    {{"delete", "battery_source_path"}, "Deleting parameter failed"},
    {{"get", "self_clean_pump"}, "value is"},
    {{"dump"}, "ros__parameters"},
};

// The field names of one message as `ros2 topic echo` prints it ("stamp:", "level:", ...).
std::vector<std::string> FieldNames(const std::string& echoed) {
  std::vector<std::string> names;
  size_t start = 0;
  for (size_t end; (end = echoed.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = echoed.substr(start, end - start);
    const size_t colon = line.find(':');
    if (colon != std::string::npos && !line.empty() && line[0] != ' ') {
      names.push_back(line.substr(0, colon));
    }
  }
  return names;
}

class RosGraphTest : public SimulatedBoardTest {};

TEST_F(RosGraphTest, NodeListAndInfoShowTheStandaloneNodeAsTheRealOneAndNotOnceItStopped) {
  for (const Build build : {Build::kReal, Build::kStandalone}) {
    SCOPED_TRACE(Name(build));
    auto node = StartNode(build);
    EXPECT_EQ(Ros2Until({"node", "list", "--no-daemon"}, kNode), std::string(kNode) + "\n");
    const std::string info = Ros2Until({"node", "info", "--no-daemon", kNode}, kInfoEndpoints);
    EXPECT_NE(info.find(kInfoEndpoints), std::string::npos) << info;
    const std::string topic = Ros2Until({"topic", "info", "-v", "--no-daemon", "/robot_event"},
                                        "Node name: bottom_interact_center");
    EXPECT_NE(topic.find("Node name: bottom_interact_center\nNode namespace: /\n"),
              std::string::npos)
        << topic;

    EXPECT_EQ(node->Terminate(), 0);
    EXPECT_EQ(Ros2Until(
                  {"node", "list", "--no-daemon"},
                  [](const std::string& output) { return output.empty(); }, 10s),
              "");
  }
}

TEST_F(RosGraphTest, Ros2ParamAnswersTheStandaloneNodeAsItAnswersTheRealOne) {
  std::map<Build, std::vector<std::string>> answers;
  for (const Build build : {Build::kReal, Build::kStandalone}) {
    SCOPED_TRACE(Name(build));
    auto node = StartNode(build);
    for (const auto& [args, answered] : kParamSteps) {
      Args command{"param", args.front(), "--no-daemon", kNode};
      command.insert(command.end(), args.begin() + 1, args.end());
      answers[build].push_back(Ros2Until(command, answered));
    }
    EXPECT_EQ(node->Terminate(), 0);
  }
  ASSERT_EQ(answers[Build::kStandalone].size(), answers[Build::kReal].size());
  for (size_t step = 0; step < kParamSteps.size(); ++step) {
    EXPECT_EQ(answers[Build::kStandalone][step], answers[Build::kReal][step])
        << "ros2 param " << kParamSteps[step].first.front();
  }
  EXPECT_NE(answers[Build::kStandalone][5].find("Set parameter successful"), std::string::npos);
  EXPECT_NE(answers[Build::kStandalone].back().find("self_clean_pump: 44"), std::string::npos);
}

TEST_F(RosGraphTest, Ros2TopicEchoRosoutShowsTheNodesLogLines) {
  std::map<Build, std::vector<std::string>> fields;
  for (const Build build : {Build::kReal, Build::kStandalone}) {
    SCOPED_TRACE(Name(build));
    auto node = StartNode(build);
    RosPeer ros;
    ASSERT_TRUE(ros.WaitForNode());
    auto echo =
        Ros2({"topic", "echo", "--once", "--no-daemon", "/rosout", "rcl_interfaces/msg/Log"});
    // Each command logs what it sends to the board.
    const std::string line = EchoWhile(*echo, [&] { ros.Call(RosPeer::Command(10), 5s); });
    EXPECT_NE(line.find("level: 20\nname: bottom_interact_center\nmsg: "), std::string::npos)
        << line;
    EXPECT_NE(line.find("file: "), std::string::npos) << line;
    fields[build] = FieldNames(line);
    EXPECT_EQ(node->Terminate(), 0);
  }
  EXPECT_EQ(fields[Build::kStandalone], fields[Build::kReal]);
}

// The names and hardware ids of the statuses in one array as `ros2 topic echo` prints it.
std::vector<std::string> StatusNames(const std::string& echoed) {
  std::vector<std::string> names;
  size_t start = 0;
  for (size_t end; (end = echoed.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = echoed.substr(start, end - start);
    if (line.find("  name: ") != std::string::npos ||
        line.find("  hardware_id: ") != std::string::npos) {
      names.push_back(line);
    }
  }
  return names;
}

TEST_F(RosGraphTest, Ros2TopicEchoDiagnosticsShowsAStatusPerSourceWithItsHardwareId) {
  std::map<Build, std::vector<std::string>> statuses;
  for (const Build build : {Build::kReal, Build::kStandalone}) {
    SCOPED_TRACE(Name(build));
    auto node = StartNode(build, {"-p", "battery_source_path:=''"});
    auto echo = Ros2({"topic", "echo", "--once", "--no-daemon", "/diagnostics",
                      "diagnostic_msgs/msg/DiagnosticArray"});
    const std::string array = EchoWhile(*echo, [] {});
    statuses[build] = StatusNames(array);
    EXPECT_NE(
        array.find("  name: 'bottom_interact_center: procter link'\n  message: connected\n"
                   "  hardware_id: 127.0.0.1\n  values:\n  - key: connected\n    value: 'yes'\n"),
        std::string::npos)
        << array;
    EXPECT_NE(array.find("name: 'bottom_interact_center: battery unit'\n  message: 'no battery "
                         "tty: the board''s figures are used'\n  hardware_id: 127.0.0.1\n"),
              std::string::npos)
        << array;
    EXPECT_EQ(statuses[build].size(), 16u) << array;
    EXPECT_EQ(node->Terminate(), 0);
  }
  EXPECT_EQ(statuses[Build::kStandalone], statuses[Build::kReal]);
}

}  // namespace
}  // namespace node_test

int main(int argc, char** argv) {
  return node_test::RunAllTests(argc, argv);
}
