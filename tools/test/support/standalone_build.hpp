// Programs of the standalone build (the same sources on rclcpp_lite), run by tests of the build
// against the real rclcpp to check that the two talk to each other.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__STANDALONE_BUILD_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__STANDALONE_BUILD_HPP_

#include <string>
#include <vector>

namespace node_test::standalone {

// The command line that runs program (a path below the standalone build's install folder) with
// args in that build's environment alone: its own setup.bash, none of the real ROS 2 install's
// libraries, and this process's DDS domain and log format.
std::vector<std::string> Command(const std::string& program, const std::vector<std::string>& args);

// The standalone build's node executable and tools, as paths for Command.
extern const char* const kNode;
extern const char* const kBottomOperateCall;
extern const char* const kTopicEcho;
extern const char* const kTaskCenterStandIn;
extern const char* const kRobotInfoStandIn;

}  // namespace node_test::standalone

#endif  // BOTTOM_INTERACT_TOOLS_TEST__STANDALONE_BUILD_HPP_
