#include "overlap_probe.hpp"

#include <algorithm>

void OverlapProbe::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  ++running_;
  most_running_ = std::max(most_running_, running_);
  changed_.notify_all();
  changed_.wait_for(lock, patience_, [this] { return most_running_ >= 2; });
  --running_;
}

int OverlapProbe::most_running() {
  std::lock_guard<std::mutex> lock(mutex_);
  return most_running_;
}
