// The node's real executable as a child process, its standard output and error captured apart.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__NODE_PROCESS_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__NODE_PROCESS_HPP_

#include <string>
#include <vector>

#include "child_process.hpp"

namespace node_test {

using namespace std::chrono_literals;

// The parameter file installed with the node executable the tests run.
std::string InstalledParameterFile();

class NodeProcess : public test_support::ChildProcess {
public:
  // Starts the node with "--ros-args" followed by ros_args (when any). It inherits the
  // environment (ROS_DOMAIN_ID, ROS_LOCALHOST_ONLY=1) of the test process.
  explicit NodeProcess(const std::vector<std::string>& ros_args = {});
};

}  // namespace node_test

#endif  // BOTTOM_INTERACT_TOOLS_TEST__NODE_PROCESS_HPP_
