#include "bottom_interact_center/link_drain.hpp"

#include <utility>

namespace bottom_interact_center {

LinkDrain::LinkDrain(std::mutex& link_mutex, std::shared_ptr<TcpClient> client,
                     rclcpp::Logger logger, std::string link_name)
    : link_mutex_(link_mutex),
      client_(std::move(client)),
      logger_(std::move(logger)),
      link_name_(std::move(link_name)) {
  if (client_) {
    thread_ = std::thread(&LinkDrain::Run, this);
  }
}

LinkDrain::~LinkDrain() {
  stop_.Request();
  if (thread_.joinable()) {
    thread_.join();
  }
}

void LinkDrain::Run() {
  while (!stop_.WaitFor(kPeriod) && rclcpp::ok()) {
    DrainUnlessInUse();
  }
}

void LinkDrain::DrainUnlessInUse() {
  const std::unique_lock<std::mutex> link(link_mutex_, std::try_to_lock);
  if (!link.owns_lock()) {
    return;
  }
  // A board that keeps sending holds a waiting command for one bounded pass at most.
  constexpr int kMostBytesPerPass = 4 << 20;
  int dropped = 0;
  int n = 0;
  while (dropped < kMostBytesPerPass && (n = client_->DiscardReceived()) > 0) {
    dropped += n;
  }
  if (dropped > 0) {
    RCLCPP_DEBUG(logger_, "%s: %d bytes from the board read and dropped", link_name_.c_str(),
                 dropped);
  }
}

}  // namespace bottom_interact_center
