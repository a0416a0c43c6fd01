// Prints the messages of one of the node's event topics, one line each, or its /diagnostics.
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <diagnostic_msgs/msg/diagnostic_array.hpp>
#include <rclcpp/rclcpp.hpp>
#include <velmoria_protocol/msg/diagnostic_event.hpp>
#include <velmoria_protocol/msg/robot_event.hpp>

#include "ros_tools/message_formatter.hpp"
#include "ros_tools/program_arguments.hpp"

namespace {

constexpr char kProgram[] = "topic_echo";

constexpr char kUsage[] =
    "Usage: topic_echo TOPIC [--count N] [--ros-args ...]\n"
    "Prints each message of TOPIC on one line: the topic, the header stamp (seconds since the\n"
    "epoch) and the other fields.\n"
    "TOPIC is one of\n"
    "  /task_center_diag_topic   velmoria_protocol/msg/DiagnosticEvent (board link lost/restored)\n"
    "  /body_driver_diag_topic   velmoria_protocol/msg/DiagnosticEvent (the board's events)\n"
    "  robot_event               velmoria_protocol/msg/RobotEvent (e.g. fill light on/off)\n"
    "  /diagnostics              diagnostic_msgs/msg/DiagnosticArray (the node's health; one\n"
    "                            line per status after the stamp's line)\n"
    "Options:\n"
    "  --count N   exit after N messages (default: run until SIGINT or SIGTERM)\n"
    "  -h, --help  this text\n";

enum class TopicType { kDiagnosticEvent, kRobotEvent, kDiagnosticArray };

bool TypeOfTopic(const std::string& topic, TopicType* type) {
  const std::string name = topic.rfind('/', 0) == 0 ? topic.substr(1) : topic;
  if (name == "task_center_diag_topic" || name == "body_driver_diag_topic") {
    *type = TopicType::kDiagnosticEvent;
    return true;
  }
  if (name == "robot_event") {
    *type = TopicType::kRobotEvent;
    return true;
  }
  if (name == "diagnostics") {
    *type = TopicType::kDiagnosticArray;
    return true;
  }
  return false;
}

template <typename Message>
std::string Body(const Message& message) {
  return ros_tools::MessageFormatter::Format(message, "header");
}

// An array of statuses: each on a line of its own.
std::string Body(const diagnostic_msgs::msg::DiagnosticArray& array) {
  std::string lines;
  for (const auto& status : array.status) {
    lines += "\n  " + ros_tools::MessageFormatter::Format(status);
  }
  return lines;
}

// Subscribes with depth 10 like the node's publishers; shuts ROS down after count messages
// (count 0: never).
template <typename Message>
std::shared_ptr<rclcpp::Subscription<Message>> Echo(const rclcpp::Node::SharedPtr& node,
                                                    const std::string& topic, uint64_t count) {
  auto received = std::make_shared<uint64_t>(0);
  return node->create_subscription<Message>(
      topic, 10, [topic, count, received](const typename Message::SharedPtr message) {
        std::cout << topic << " stamp: " << message->header.stamp.sec << "." << std::setw(9)
                  << std::setfill('0') << message->header.stamp.nanosec << std::setfill(' ') << " "
                  << Body(*message) << std::endl;
        if (count != 0 && ++*received >= count) rclcpp::shutdown();
      });
}

int UsageError(const std::string& message) {
  std::cerr << kProgram << ": " << message << "\n(see " << kProgram << " --help)\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  ros_tools::ProgramArguments args(argc, argv);
  if (args.TakeFlag({"-h", "--help"})) {
    std::cout << kUsage;
    return 0;
  }
  uint64_t count = 0;
  std::string error;
  std::vector<std::string> positional;
  if (!args.TakeCount("--count", &count, &error) || !args.Positional(&positional, &error)) {
    return UsageError(error);
  }
  TopicType type;
  if (positional.size() != 1) return UsageError("give exactly one TOPIC");
  if (!TypeOfTopic(positional[0], &type)) {
    return UsageError(
        "unknown topic '" + positional[0] +
        "' (/task_center_diag_topic, /body_driver_diag_topic, robot_event, /diagnostics)");
  }

  rclcpp::init(argc, argv);
  auto node = rclcpp::Node::make_shared(kProgram);
  std::shared_ptr<void> subscription;  // kept alive while spinning
  switch (type) {
    case TopicType::kDiagnosticEvent:
      subscription = Echo<velmoria_protocol::msg::DiagnosticEvent>(node, positional[0], count);
      break;
    case TopicType::kRobotEvent:
      subscription = Echo<velmoria_protocol::msg::RobotEvent>(node, positional[0], count);
      break;
    case TopicType::kDiagnosticArray:
      subscription = Echo<diagnostic_msgs::msg::DiagnosticArray>(node, positional[0], count);
      break;
  }
  std::cerr << kProgram << ": echoing " << positional[0] << std::endl;
  rclcpp::spin(node);
  rclcpp::shutdown();
  return 0;
}
