// Program entry: ROS up, the node and its links, the "bottom_operate" service, spin until shutdown.
#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "bottom_interact_center/bottom_interact_center.hpp"
#include "bottom_interact_center/bottom_interact_handle.hpp"
#include "bottom_interact_center/constants.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rcutils/allocator.h"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

namespace {

// ros2 launch and systemd follow a stop signal with a second one a few milliseconds later, and
// rclcpp::shutdown puts back the SIGINT and SIGTERM actions found at rclcpp::init. Were that the
// default action, the second signal would kill the node while it still releases its links. So
// both are ignored beneath ROS's handlers: once the stop has begun, further ones change nothing.
// They stay blocked until ROS has installed its handlers, so that one arriving in between waits
// for them instead of being lost. Returns the signal mask to restore then.
sigset_t IgnoreStopSignalsBeneathRos() {
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  sigset_t previous_mask;
  pthread_sigmask(SIG_BLOCK, &stop_signals, &previous_mask);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGINT, &ignore, nullptr);
  sigaction(SIGTERM, &ignore, nullptr);
  return previous_mask;
}

// Called before main returns: static destruction then takes down the middleware's process-wide
// state, and a ROS entity destroyed after it fails (with real rclcpp, the process crashes). The
// listener threads end first, since they call into the node. Copes with a node that a stop during
// start-up left unmade or half made.
void ReleaseNode() {
  if (bottom_interact_center::g_node) {
    bottom_interact_center::g_node->StopBoardListeners();
    bottom_interact_center::g_node.reset();
  }
}

// The node, its links and the "bottom_operate" service, served until ROS shuts down. The exit
// status: EXIT_FAILURE when a start-up parameter has the wrong type, else EXIT_SUCCESS. The
// service, the handle its callback points to and the executor go when it returns.
int Serve() {
  using bottom_interact_center::BottomInteractCenter;
  using bottom_interact_center::BottomInteractHandle;
  using bottom_interact_center::g_node;

  g_node = std::make_shared<BottomInteractCenter>();
  auto executor = std::make_shared<rclcpp::executors::MultiThreadedExecutor>(
      rclcpp::ExecutorOptions(), std::thread::hardware_concurrency(), true);
  // Added before Init, so the callback groups created from here on join the executor.
  executor->add_node(g_node, true);

  bool init_ok = false;
  try {
    init_ok = g_node->Init();
  } catch (const rclcpp::exceptions::InvalidParameterTypeException& e) {
    // A start-up parameter value of the wrong type: nothing sensible can run with it.
    RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, %s",
                 bottom_interact_center::kParameterRejected, e.what());
    return EXIT_FAILURE;
  }
  if (!init_ok) {
    std::cout << "bottom_interact_center init failed" << std::endl;
  }

  BottomInteractHandle handle;
  auto callback = std::bind(&BottomInteractHandle::DispatchCmd, &handle, std::placeholders::_1,
                            std::placeholders::_2);
  auto service_group = g_node->create_callback_group(rclcpp::CallbackGroupType::Reentrant, true);
  auto service = g_node->create_service<velmoria_protocol::srv::BottomInteractSrv>(
      bottom_interact_center::kBottomOperateService, callback, rmw_qos_profile_services_default,
      service_group);
  std::cout << "after advertiseService" << std::endl;

  executor->spin();
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  rclcpp::InitOptions init_options(rcutils_get_default_allocator());
  const sigset_t signal_mask = IgnoreStopSignalsBeneathRos();
  try {
    rclcpp::init(argc, argv, init_options, rclcpp::SignalHandlerOptions::All);
  } catch (const std::exception& e) {
    // The command line ROS refuses (a parameter file it cannot read, a bad log level, an unknown
    // flag): say so on one line instead of aborting. rcl's YAML errors may hold a line break.
    std::string reason = e.what();
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    std::cerr << "bottom_interact_center: cannot start ROS: " << reason << std::endl;
    return EXIT_FAILURE;
  }
  pthread_sigmask(SIG_SETMASK, &signal_mask, nullptr);
  int status = EXIT_SUCCESS;
  try {
    status = Serve();
  } catch (const std::exception&) {
    // Once a stop signal has shut ROS down, rclcpp refuses to make a node, an executor or a
    // service: a stop during start-up ends here, and takes the normal way out.
    if (rclcpp::ok()) {
      throw;
    }
  }
  rclcpp::shutdown(nullptr, "user called rclcpp::shutdown()");
  ReleaseNode();  // the executor's threads have ended with spin
  return status;
}
