#include "ros2_cli.hpp"

#include <thread>

#include "node_process.hpp"
#include "standalone_build.hpp"

namespace node_test {

using test_support::ChildProcess;
using Clock = std::chrono::steady_clock;

const char* Name(Build build) {
  return build == Build::kReal ? "real rclcpp" : "rclcpp_lite";
}

std::unique_ptr<ChildProcess> StartNode(Build build, const std::vector<std::string>& ros_args) {
  if (build == Build::kReal) {
    return std::make_unique<NodeProcess>(ros_args);
  }
  std::vector<std::string> args;
  if (!ros_args.empty()) {
    args.emplace_back("--ros-args");
    args.insert(args.end(), ros_args.begin(), ros_args.end());
  }
  return std::make_unique<ChildProcess>(standalone::Command(standalone::kNode, args),
                                        ChildProcess::Output::kSeparate);
}

std::unique_ptr<ChildProcess> Ros2(const std::vector<std::string>& args) {
  // Python's warnings (a deprecated module of the install, say) would mix into the answers.
  std::vector<std::string> argv{"/usr/bin/env", "PYTHONWARNINGS=ignore", "ros2"};
  argv.insert(argv.end(), args.begin(), args.end());
  return std::make_unique<ChildProcess>(argv);
}

std::string Ros2Until(const std::vector<std::string>& args,
                      const std::function<bool(const std::string&)>& done,
                      std::chrono::seconds within) {
  const auto deadline = Clock::now() + within;
  std::string output;
  do {
    auto tool = Ros2(args);
    tool->WaitExit(20s);
    output = tool->out().Text();
    if (done(output)) {
      break;
    }
    std::this_thread::sleep_for(500ms);
  } while (Clock::now() < deadline);
  return output;
}

std::string Ros2Until(const std::vector<std::string>& args, const std::string& text,
                      std::chrono::seconds within) {
  return Ros2Until(
      args, [&text](const std::string& output) { return output.find(text) != std::string::npos; },
      within);
}

std::string EchoWhile(ChildProcess& echo, const std::function<void()>& trigger) {
  const auto deadline = Clock::now() + 30s;
  while (!echo.WaitExit(300ms) && !echo.ended() && Clock::now() < deadline) {
    trigger();
  }
  return echo.out().Text();
}

}  // namespace node_test
