// The rest of the robot as the node sees it: a "bottom_operate" caller and listeners on the
// topics the node publishes, spun in the test process.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__ROS_PEER_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__ROS_PEER_HPP_

#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "ros_tools/spin_thread.hpp"
#include "velmoria_protocol/msg/diagnostic_event.hpp"
#include "velmoria_protocol/msg/robot_event.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

namespace node_test {

using namespace std::chrono_literals;
using Operate = velmoria_protocol::srv::BottomInteractSrv;

// Messages received on one topic.
template <typename MessageT>
class TopicRecorder {
public:
  TopicRecorder(rclcpp::Node& node, const std::string& topic) {
    subscription_ = node.create_subscription<MessageT>(topic, 10, [this](const MessageT& message) {
      std::lock_guard<std::mutex> lock(mutex_);
      messages_.push_back(message);
      changed_.notify_all();
    });
  }

  // Waits until count messages arrived; returns all received so far.
  std::vector<MessageT> WaitFor(std::size_t count, std::chrono::milliseconds timeout = 5s) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return messages_.size() >= count; });
    return messages_;
  }
  // Waits until holds(messages received) is true; returns them then, or at the time-out.
  template <typename Predicate>
  std::vector<MessageT> WaitUntil(Predicate holds, std::chrono::milliseconds timeout = 5s) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return holds(messages_); });
    return messages_;
  }
  std::vector<MessageT> Messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
  }
  bool Matched() const { return subscription_->get_publisher_count() > 0; }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<MessageT> messages_;
  typename rclcpp::Subscription<MessageT>::SharedPtr subscription_;
};

class RosPeer {
public:
  // ns: the namespace the node runs in ("" for the root namespace).
  explicit RosPeer(const std::string& ns = "");
  ~RosPeer();

  // Waits until "bottom_operate" is served and the node's publishers reach the recorders.
  bool WaitForNode(std::chrono::milliseconds timeout = 15s);

  // A request for command cmd with every other field zero.
  static Operate::Request Command(int32_t cmd);
  // A request written as `ros2 service call` takes it, e.g. "{cmd: 7, wheel_cmd: 5}"; throws
  // std::invalid_argument naming what is wrong.
  static Operate::Request Request(const std::string& yaml);
  std::shared_future<Operate::Response::SharedPtr> CallAsync(const Operate::Request& request);
  // The response, or nothing when none came in time.
  std::optional<Operate::Response> Call(const Operate::Request& request,
                                        std::chrono::milliseconds timeout = 45s);

  TopicRecorder<velmoria_protocol::msg::DiagnosticEvent>& link_events() { return *link_events_; }
  TopicRecorder<velmoria_protocol::msg::RobotEvent>& robot_events() { return *robot_events_; }

private:
  rclcpp::Node::SharedPtr node_;
  rclcpp::Client<Operate>::SharedPtr client_;
  std::unique_ptr<TopicRecorder<velmoria_protocol::msg::DiagnosticEvent>> link_events_;
  std::unique_ptr<TopicRecorder<velmoria_protocol::msg::RobotEvent>> robot_events_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::optional<ros_tools::SpinThread> spinner_;
};

}  // namespace node_test

#endif  // BOTTOM_INTERACT_TOOLS_TEST__ROS_PEER_HPP_
