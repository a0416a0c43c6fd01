#include "rclcpp/detail/node_rosout.hpp"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <utility>

#include "rclcpp/detail/rosout.hpp"

namespace rclcpp {
namespace detail {

namespace {
// rcl's /rosout depth: lines queued beyond it would not be kept by the topic either.
constexpr size_t kMaxQueuedLines = 1000;
constexpr std::chrono::milliseconds kBurstWait(1);
constexpr int kNiceness = 10;
}  // namespace

NodeRosout::NodeRosout(Publish publish)
    : publish_(std::move(publish)), thread_([this] { run(); }) {}

NodeRosout::~NodeRosout() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  queued_.notify_one();
  thread_.join();
}

void NodeRosout::push(rcl_interfaces::msg::Log line) {
  bool was_empty = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (lines_.size() >= kMaxQueuedLines) {
      lines_.pop_front();
    }
    was_empty = lines_.empty();
    lines_.push_back(std::move(line));
  }
  // The thread sleeps only on an empty queue: a burst of lines wakes it once.
  if (was_empty) {
    queued_.notify_one();
  }
}

void NodeRosout::run() {
  Rosout::mark_publishing_thread();
  // Background work: on a busy machine the node's own threads go first.
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kNiceness);
  std::deque<rcl_interfaces::msg::Log> taken;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      queued_.wait(lock, [this] { return stopping_ || !lines_.empty(); });
      if (lines_.empty()) {
        return;  // stopping, and everything is out
      }
      // Lines come in bursts: let the burst finish before taking it, so that its logging thread
      // neither wakes this one again nor meets it at the lock.
      queued_.wait_for(lock, kBurstWait, [this] { return stopping_; });
      taken.swap(lines_);
    }
    for (const rcl_interfaces::msg::Log& line : taken) {
      try {
        publish_(line);
      } catch (const std::exception& error) {
        std::fprintf(stderr, "Failed to publish log message to rosout: %s\n", error.what());
      }
    }
    taken.clear();
  }
}

}  // namespace detail
}  // namespace rclcpp
