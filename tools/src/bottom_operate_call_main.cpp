// Calls the "bottom_operate" service once with a request written as YAML, like
// `ros2 service call /bottom_operate velmoria_protocol/srv/BottomInteractSrv '{cmd: 10}'`.
#include <algorithm>
#include <chrono>
#include <future>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <rclcpp/rclcpp.hpp>
#include <velmoria_protocol/srv/bottom_interact_srv.hpp>

#include "ros_tools/message_filler.hpp"
#include "ros_tools/message_formatter.hpp"
#include "ros_tools/program_arguments.hpp"
#include "ros_tools/spin_thread.hpp"

namespace {

using BottomInteractSrv = velmoria_protocol::srv::BottomInteractSrv;

constexpr char kProgram[] = "bottom_operate_call";
constexpr char kService[] = "bottom_operate";

// Exit statuses: the service answered (or help was shown); it could not be reached or did not
// answer; bad usage.
constexpr int kSuccess = 0;
constexpr int kNoAnswer = 1;
constexpr int kUsageError = 2;

constexpr char kUsage[] =
    "Usage: bottom_operate_call [--wait SECONDS] [--timeout SECONDS] REQUEST [--ros-args ...]\n"
    "Calls the bottom_operate service once and prints its answer as\n"
    "  status: N\n"
    "  message: \"...\"\n"
    "REQUEST is YAML like `ros2 service call` takes it, with the fields of\n"
    "velmoria_protocol/srv/BottomInteractSrv, e.g.\n"
    "  bottom_operate_call '{cmd: 10}'\n"
    "  bottom_operate_call '{cmd: 12, component: {main_swp: {cmd: 1, duty: 50}}}'\n"
    "Options:\n"
    "  --wait SECONDS     how long to wait for the service to appear (default 5)\n"
    "  --timeout SECONDS  how long to wait for the answer (default 45: a board command may\n"
    "                     take 30 s plus a receive time-out)\n"
    "  -h, --help         this text\n"
    "Exit status: 0 answered (whatever its status), 1 no service or no answer, 2 bad usage.\n";

struct CallSettings {
  double wait_seconds = 5;
  double timeout_seconds = 45;
  BottomInteractSrv::Request request;
};

std::chrono::nanoseconds Seconds(double seconds) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::duration<double>(seconds));
}

int UsageError(const std::string& message) {
  std::cerr << kProgram << ": " << message << "\n(see " << kProgram << " --help)\n";
  return kUsageError;
}

// Empty when the call can go ahead, else the exit status to end with.
std::optional<int> ReadSettings(int argc, char** argv, CallSettings* settings) {
  ros_tools::ProgramArguments args(argc, argv);
  if (args.TakeFlag({"-h", "--help"})) {
    std::cout << kUsage;
    return kSuccess;
  }
  std::string error;
  std::vector<std::string> positional;
  if (!args.TakeSeconds("--wait", &settings->wait_seconds, &error) ||
      !args.TakeSeconds("--timeout", &settings->timeout_seconds, &error) ||
      !args.Positional(&positional, &error)) {
    return UsageError(error);
  }
  if (positional.size() != 1) return UsageError("give exactly one REQUEST, e.g. '{cmd: 10}'");
  const auto yaml = ros_tools::YamlValue::Parse(positional[0], &error);
  if (!yaml || !ros_tools::MessageFiller::Fill(*yaml, &settings->request, &error)) {
    return UsageError("bad request: " + error);
  }
  return std::nullopt;
}

// Waits for the answer while an executor thread spins the node; ends early when ROS shuts down
// (SIGINT, SIGTERM).
template <typename Future>
bool WaitForAnswer(const Future& answer, double timeout_seconds) {
  const auto deadline = std::chrono::steady_clock::now() + Seconds(timeout_seconds);
  while (rclcpp::ok()) {
    const auto left = deadline - std::chrono::steady_clock::now();
    const auto slice =
        std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(100));
    if (answer.wait_for(slice) == std::future_status::ready) return true;
    if (left <= slice) return false;
  }
  return false;
}

int Call(const CallSettings& settings) {
  auto node = rclcpp::Node::make_shared(kProgram);
  auto client = node->create_client<BottomInteractSrv>(kService);
  if (!client->wait_for_service(Seconds(settings.wait_seconds))) {
    std::cerr << kProgram << ": service '" << kService << "' is not available (waited "
              << settings.wait_seconds << " s)\n";
    return kNoAnswer;
  }
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  auto answer =
      client->async_send_request(std::make_shared<BottomInteractSrv::Request>(settings.request));
  bool answered = false;
  {
    ros_tools::SpinThread spinning(executor);
    answered = WaitForAnswer(answer, settings.timeout_seconds);
  }
  if (!answered) {
    std::cerr << kProgram << ": no answer from '" << kService << "' within "
              << settings.timeout_seconds << " s\n";
    return kNoAnswer;
  }
  const auto response = answer.get();
  std::cout << "status: " << response->status << "\n"
            << "message: " << ros_tools::MessageFormatter::Quote(response->message) << std::endl;
  return kSuccess;
}

}  // namespace

int main(int argc, char** argv) {
  CallSettings settings;
  if (const auto done = ReadSettings(argc, argv, &settings)) return *done;
  rclcpp::init(argc, argv);
  const int status = Call(settings);
  rclcpp::shutdown();
  return status;
}
