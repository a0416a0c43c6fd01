#include "ros_tools/request_tally.hpp"

#include <chrono>
#include <iostream>

namespace ros_tools {

RequestTally::RequestTally(bool count_only) : count_only_(count_only) {
  if (count_only_) counter_ = std::thread(&RequestTally::PrintCountsEverySecond, this);
}

RequestTally::~RequestTally() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  stopping_.notify_all();
  if (counter_.joinable()) counter_.join();
}

void RequestTally::Record(const std::function<std::string()>& describe) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++received_;
  if (!count_only_) std::cout << describe() << std::endl;
}

void RequestTally::PrintCountsEverySecond() {
  std::unique_lock<std::mutex> lock(mutex_);
  // Paced by absolute times, so the lines stay a second apart however long printing takes.
  auto next = std::chrono::steady_clock::now();
  while (!stopping_.wait_until(lock, next += std::chrono::seconds(1), [this] { return stop_; })) {
    std::cout << "received " << received_ << std::endl;
  }
}

}  // namespace ros_tools
