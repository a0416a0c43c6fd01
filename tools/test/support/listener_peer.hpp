// What the node's board listeners talk to: the task center, the robot information service and a
// reader of the body-driver diagnostic topic, all in the test process. Made before the RosPeer
// whose WaitForNode shows that the node has discovered them.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__LISTENER_PEER_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__LISTENER_PEER_HPP_

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "robot/robot.pb.h"
#include "ros_peer.hpp"
#include "ros_tools/spin_thread.hpp"
#include "service_standin.hpp"
#include "velmoria_protocol/msg/diagnostic_event.hpp"
#include "velmoria_protocol/srv/robot_info_update.hpp"
#include "velmoria_protocol/srv/task_center_srv.hpp"

namespace node_test {

using TaskCenter = velmoria_protocol::srv::TaskCenterSrv;
using RobotInfoUpdate = velmoria_protocol::srv::RobotInfoUpdate;

class ListenerPeer {
public:
  // Without the services when serve is false ("do_task" and "robot_info_update" absent).
  explicit ListenerPeer(bool serve = true);
  ~ListenerPeer();

  ServiceStandIn<TaskCenter>& task_center() { return *task_center_; }
  ServiceStandIn<RobotInfoUpdate>& robot_info() { return *robot_info_; }
  TopicRecorder<velmoria_protocol::msg::DiagnosticEvent>& body_driver_events() {
    return *body_driver_events_;
  }

  // The robot_info of the requests received so far, decoded.
  std::vector<robot::RobotInfo> RobotInfos();
  // Waits until count robot_info requests arrived, and decodes them.
  std::vector<robot::RobotInfo> WaitForRobotInfos(std::size_t count,
                                                  std::chrono::milliseconds timeout = 10s);

private:
  rclcpp::Node::SharedPtr node_;
  rclcpp::CallbackGroup::SharedPtr group_;
  std::unique_ptr<ServiceStandIn<TaskCenter>> task_center_;
  std::unique_ptr<ServiceStandIn<RobotInfoUpdate>> robot_info_;
  std::unique_ptr<TopicRecorder<velmoria_protocol::msg::DiagnosticEvent>> body_driver_events_;
  rclcpp::executors::MultiThreadedExecutor executor_{rclcpp::ExecutorOptions(), 4};
  std::optional<ros_tools::SpinThread> spinner_;
};

}  // namespace node_test

#endif  // BOTTOM_INTERACT_TOOLS_TEST__LISTENER_PEER_HPP_
