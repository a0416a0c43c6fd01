#include "spun_node.hpp"

#include <chrono>
#include <utility>

#include "bottom_interact_center/bottom_interact_center.hpp"

namespace bottom_interact_center::test {

SpunNode::SpunNode(rclcpp::Node::SharedPtr peer) : peer_(std::move(peer)) {
  executor_.add_node(g_node);
  executor_.add_node(peer_);
  spinner_ = std::thread([this] {
    executor_.spin();
    spun_out_ = true;
  });
}

SpunNode::~SpunNode() {
  // A cancel before the spin began would be lost: cancel until it has ended.
  while (!spun_out_.load()) {
    executor_.cancel();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  spinner_.join();
  executor_.remove_node(g_node);
}

}  // namespace bottom_interact_center::test
