#include "signal_counter.hpp"

void SignalCounter::notify() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++count_;
  changed_.notify_all();
}

std::function<void()> SignalCounter::callback() {
  return [this] { notify(); };
}

bool SignalCounter::wait_for_count(size_t count, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [this, count] { return count_ >= count; });
}

size_t SignalCounter::count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return count_;
}
