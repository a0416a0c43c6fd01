#include "signal_counter.hpp"

#include <thread>

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

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}
