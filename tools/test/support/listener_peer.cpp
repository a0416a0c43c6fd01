#include "listener_peer.hpp"

#include <gtest/gtest.h>

#include "bottom_interact_center/constants.hpp"

namespace node_test {
namespace {

std::vector<robot::RobotInfo> Decode(const std::vector<RobotInfoUpdate::Request>& requests) {
  std::vector<robot::RobotInfo> infos;
  for (const auto& request : requests) {
    infos.emplace_back();
    EXPECT_TRUE(infos.back().ParseFromString(request.robot_info));
  }
  return infos;
}

}  // namespace

ListenerPeer::ListenerPeer(bool serve)
    : node_(std::make_shared<rclcpp::Node>("listener_test_peer")),
      group_(node_->create_callback_group(rclcpp::CallbackGroupType::Reentrant)) {
  using namespace bottom_interact_center;
  body_driver_events_ = std::make_unique<TopicRecorder<velmoria_protocol::msg::DiagnosticEvent>>(
      *node_, kBodyDriverDiagTopic);
  if (serve) {
    task_center_ = std::make_unique<ServiceStandIn<TaskCenter>>(*node_, kTaskCenterService, group_);
    robot_info_ =
        std::make_unique<ServiceStandIn<RobotInfoUpdate>>(*node_, kRobotInfoUpdateService, group_);
  }
  executor_.add_node(node_);
  spinner_.emplace(executor_);
}

ListenerPeer::~ListenerPeer() {
  // Held answers first, so that no executor thread is left waiting in a stand-in.
  if (task_center_) {
    task_center_->Release();
    robot_info_->Release();
  }
  spinner_.reset();
}

std::vector<robot::RobotInfo> ListenerPeer::RobotInfos() {
  return Decode(robot_info_->Requests());
}

std::vector<robot::RobotInfo> ListenerPeer::WaitForRobotInfos(std::size_t count,
                                                              std::chrono::milliseconds timeout) {
  return Decode(robot_info_->WaitFor(count, timeout));
}

}  // namespace node_test
