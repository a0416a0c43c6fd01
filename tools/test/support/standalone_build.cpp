#include "standalone_build.hpp"

#include <cstdlib>

namespace node_test::standalone {

// colcon installs each package in a folder of its own.
const char* const kNode =
    "bottom_interact_center/lib/bottom_interact_center/bottom_interact_center";
const char* const kBottomOperateCall =
    "bottom_interact_tools/lib/bottom_interact_tools/bottom_operate_call";
const char* const kTopicEcho = "bottom_interact_tools/lib/bottom_interact_tools/topic_echo";
const char* const kTaskCenterStandIn =
    "bottom_interact_tools/lib/bottom_interact_tools/task_center_standin";
const char* const kRobotInfoStandIn =
    "bottom_interact_tools/lib/bottom_interact_tools/robot_info_standin";

namespace {

// The variables a program of either build takes from the test, passed on as NAME=value.
std::vector<std::string> InheritedVariables() {
  std::vector<std::string> assignments{"PATH=/usr/local/bin:/usr/bin:/bin"};
  for (const char* name : {"HOME", "ROS_DOMAIN_ID", "ROS_LOCALHOST_ONLY",
                           "RCUTILS_CONSOLE_OUTPUT_FORMAT", "RCUTILS_COLORIZED_OUTPUT"}) {
    if (const char* value = std::getenv(name)) {
      assignments.push_back(std::string(name) + "=" + value);
    }
  }
  return assignments;
}

}  // namespace

std::vector<std::string> Command(const std::string& program, const std::vector<std::string>& args) {
  const std::string install = BOTTOM_INTERACT_LITE_INSTALL;
  std::vector<std::string> argv{"/usr/bin/env", "-i"};
  for (auto& assignment : InheritedVariables()) {
    argv.push_back(std::move(assignment));
  }
  // bash replaces itself with the program: the child's pid is the program's.
  argv.insert(argv.end(), {"/bin/bash", "-c", "source \"$0\" && exec \"$@\"",
                           install + "/setup.bash", install + "/" + program});
  argv.insert(argv.end(), args.begin(), args.end());
  return argv;
}

}  // namespace node_test::standalone
