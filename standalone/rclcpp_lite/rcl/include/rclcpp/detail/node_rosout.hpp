// One node's /rosout publishing, fed from a queue by a thread of its own: a log call only formats
// its line and queues it. Publishing a transient-local sample costs more than the console line
// itself, and the node logs on its command path; the thread runs at a lower priority (niceness
// 10), taking each burst of lines whole.
#ifndef RCLCPP__DETAIL__NODE_ROSOUT_HPP_
#define RCLCPP__DETAIL__NODE_ROSOUT_HPP_

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "rcl_interfaces/msg/log.hpp"

namespace rclcpp {
namespace detail {

class NodeRosout {
public:
  /// Publishes one line on the node's /rosout publisher; may throw.
  using Publish = std::function<void(const rcl_interfaces::msg::Log&)>;

  explicit NodeRosout(Publish publish);
  /// Publishes what is still queued, then stops the thread.
  ~NodeRosout();
  NodeRosout(const NodeRosout&) = delete;
  NodeRosout& operator=(const NodeRosout&) = delete;

  /// Queues a line; beyond the topic's depth of queued lines the oldest is dropped, as the
  /// topic's keep-last history would drop it.
  void push(rcl_interfaces::msg::Log line);

private:
  void run();

  const Publish publish_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<rcl_interfaces::msg::Log> lines_;
  bool stopping_ = false;
  std::thread thread_;  // last: starts once the rest is in place
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__NODE_ROSOUT_HPP_
