#include "node_process.hpp"

namespace node_test {
namespace {

std::vector<std::string> NodeCommandLine(const std::vector<std::string>& ros_args) {
  std::vector<std::string> argv{NODE_EXECUTABLE};
  if (!ros_args.empty()) {
    argv.emplace_back("--ros-args");
    argv.insert(argv.end(), ros_args.begin(), ros_args.end());
  }
  return argv;
}

}  // namespace

std::string InstalledParameterFile() {
  return NODE_PARAMETER_FILE;
}

NodeProcess::NodeProcess(const std::vector<std::string>& ros_args)
    : ChildProcess(NodeCommandLine(ros_args), Output::kSeparate) {}

}  // namespace node_test
