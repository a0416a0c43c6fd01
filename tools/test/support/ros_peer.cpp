#include "ros_peer.hpp"

#include <stdexcept>

#include "bottom_interact_center/constants.hpp"
#include "ros_tools/message_filler.hpp"
#include "ros_tools/yaml_value.hpp"
#include "test_support/poll_until.hpp"

namespace node_test {
namespace {

std::string InNamespace(const std::string& ns, const std::string& name) {
  return ns.empty() ? name : ns + "/" + name;
}

}  // namespace

RosPeer::RosPeer(const std::string& ns)
    : node_(std::make_shared<rclcpp::Node>(ns.empty() ? "node_test_peer"
                                                      : "node_test_peer_" + ns.substr(1))) {
  using namespace bottom_interact_center;
  // The recorders' readers are announced before the client's reply reader: a node that has
  // answered the client has seen them too (see WaitForNode).
  link_events_ = std::make_unique<TopicRecorder<velmoria_protocol::msg::DiagnosticEvent>>(
      *node_, kTaskCenterDiagTopic);
  robot_events_ = std::make_unique<TopicRecorder<velmoria_protocol::msg::RobotEvent>>(
      *node_, InNamespace(ns, kRobotEventTopic));
  client_ = node_->create_client<Operate>(InNamespace(ns, kBottomOperateService));
  executor_.add_node(node_);
  spinner_.emplace(executor_);
}

RosPeer::~RosPeer() = default;

bool RosPeer::WaitForNode(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  if (!client_->wait_for_service(timeout) || !test_support::PollUntil(timeout, [this] {
        return link_events_->Matched() && robot_events_->Matched();
      })) {
    return false;
  }
  // So far only this side has discovered the node. An answer shows the node has discovered this
  // side's readers too, so nothing it publishes from now on is lost. Command 1 is refused
  // without log lines, board traffic or events.
  while (std::chrono::steady_clock::now() < deadline) {
    if (CallAsync(Command(1)).wait_for(1s) == std::future_status::ready) {
      return true;
    }
  }
  return false;
}

Operate::Request RosPeer::Command(int32_t cmd) {
  Operate::Request request;
  request.cmd = cmd;
  return request;
}

Operate::Request RosPeer::Request(const std::string& yaml) {
  std::string error;
  const auto value = ros_tools::YamlValue::Parse(yaml, &error);
  Operate::Request request;
  if (!value || !ros_tools::MessageFiller::Fill(*value, &request, &error)) {
    throw std::invalid_argument(yaml + ": " + error);
  }
  return request;
}

std::shared_future<Operate::Response::SharedPtr> RosPeer::CallAsync(
    const Operate::Request& request) {
  return client_->async_send_request(std::make_shared<Operate::Request>(request)).future.share();
}

std::optional<Operate::Response> RosPeer::Call(const Operate::Request& request,
                                               std::chrono::milliseconds timeout) {
  auto future = CallAsync(request);
  if (future.wait_for(timeout) != std::future_status::ready) {
    return std::nullopt;
  }
  return *future.get();
}

}  // namespace node_test
