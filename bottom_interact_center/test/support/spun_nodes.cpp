#include "spun_nodes.hpp"

#include <chrono>
#include <utility>

namespace bottom_interact_center::test {

SpunNodes::SpunNodes(std::vector<rclcpp::Node::SharedPtr> nodes) : nodes_(std::move(nodes)) {
  for (const auto& node : nodes_) {
    executor_.add_node(node);
  }
  spinner_ = std::thread([this] {
    executor_.spin();
    spun_out_ = true;
  });
}

SpunNodes::~SpunNodes() {
  // A cancel before the spin began would be lost: cancel until it has ended.
  while (!spun_out_.load()) {
    executor_.cancel();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  spinner_.join();
  for (const auto& node : nodes_) {
    executor_.remove_node(node);
  }
}

}  // namespace bottom_interact_center::test
