#include "graph_cache.hpp"

#include <algorithm>

namespace rclcpp_lite::middleware {

using eprosima::fastrtps::rtps::GUID_t;
using eprosima::fastrtps::rtps::GuidPrefix_t;

void GraphCache::add_endpoint(EndpointKind kind, const GUID_t& guid, const std::string& topic) {
  std::lock_guard<std::mutex> lock(mutex_);
  endpoints(kind)[guid] = topic;
  bump_generation();
}

void GraphCache::remove_endpoint(EndpointKind kind, const GUID_t& guid) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (endpoints(kind).erase(guid) > 0) {
    bump_generation();
  }
}

void GraphCache::remove_participant(const GuidPrefix_t& prefix) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (EndpointMap* map : {&readers_, &writers_}) {
    for (auto it = map->begin(); it != map->end();) {
      it = it->first.guidPrefix == prefix ? map->erase(it) : std::next(it);
    }
  }
  bump_generation();
}

void GraphCache::note_change() {
  std::lock_guard<std::mutex> lock(mutex_);
  bump_generation();
}

size_t GraphCache::count(EndpointKind kind, const std::string& topic) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const EndpointMap& map = endpoints(kind);
  return static_cast<size_t>(std::count_if(
      map.begin(), map.end(), [&topic](const auto& entry) { return entry.second == topic; }));
}

uint64_t GraphCache::generation() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return generation_;
}

bool GraphCache::wait_for_change(uint64_t seen, std::chrono::nanoseconds timeout) {
  // Longer waits count as unbounded: now() + nanoseconds::max() would overflow the deadline.
  constexpr std::chrono::nanoseconds unbounded = std::chrono::hours(24 * 365);
  std::unique_lock<std::mutex> lock(mutex_);
  const auto changed = [this, seen] { return generation_ != seen; };
  if (timeout >= unbounded) {
    changed_.wait(lock, changed);
    return true;
  }
  return changed_.wait_for(lock, timeout, changed);
}

void GraphCache::bump_generation() {
  ++generation_;
  changed_.notify_all();
}

}  // namespace rclcpp_lite::middleware
