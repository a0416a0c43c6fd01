// The two builds of the node and the ROS 2 command-line tools, as the real-ROS tier's tests run
// them side by side: the build against the real rclcpp and the standalone build (on
// rclcpp_lite) of the same sources.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__ROS2_CLI_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__ROS2_CLI_HPP_

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "child_process.hpp"

namespace node_test {

using namespace std::chrono_literals;

enum class Build { kReal, kStandalone };

const char* Name(Build build);

// The node of one build, with ros_args after "--ros-args" when any; its standard output and
// error captured apart.
std::unique_ptr<test_support::ChildProcess> StartNode(
    Build build, const std::vector<std::string>& ros_args = {});

// `ros2 args...`, its output merged, without Python's warnings; ros2 is found on PATH.
std::unique_ptr<test_support::ChildProcess> Ros2(const std::vector<std::string>& args);

// Runs `ros2 args...` until done(its output) holds: a tool started before discovery has finished
// may not see the node yet. Returns the last output.
std::string Ros2Until(const std::vector<std::string>& args,
                      const std::function<bool(const std::string&)>& done,
                      std::chrono::seconds within = 30s);
// The same, until the output holds text.
std::string Ros2Until(const std::vector<std::string>& args, const std::string& text,
                      std::chrono::seconds within = 30s);

// Repeats trigger every 300 ms until the echo has ended (it prints one message and leaves) or the
// time runs out; returns what it printed. Repeating covers the time the echo needs to be matched.
std::string EchoWhile(test_support::ChildProcess& echo, const std::function<void()>& trigger);

}  // namespace node_test

#endif  // BOTTOM_INTERACT_TOOLS_TEST__ROS2_CLI_HPP_
