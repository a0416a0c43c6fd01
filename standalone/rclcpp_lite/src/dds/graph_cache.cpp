#include "graph_cache.hpp"

#include <algorithm>

namespace rclcpp_lite::middleware {

using eprosima::fastrtps::rtps::GUID_t;
using eprosima::fastrtps::rtps::GuidPrefix_t;

void GraphCache::add_endpoint(EndpointKind kind, const GUID_t& guid, Endpoint endpoint) {
  std::lock_guard<std::mutex> lock(mutex_);
  endpoint_map(kind)[guid] = std::move(endpoint);
  bump_generation();
}

void GraphCache::remove_endpoint(EndpointKind kind, const GUID_t& guid) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (endpoint_map(kind).erase(guid) > 0) {
    bump_generation();
  }
}

void GraphCache::set_participant_nodes(const GuidPrefix_t& prefix,
                                       std::vector<NodeEntities> nodes) {
  std::lock_guard<std::mutex> lock(mutex_);
  nodes_[prefix] = std::move(nodes);
  bump_generation();
}

void GraphCache::remove_participant(const GuidPrefix_t& prefix) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (EndpointMap* map : {&readers_, &writers_}) {
    for (auto it = map->begin(); it != map->end();) {
      it = it->first.guidPrefix == prefix ? map->erase(it) : std::next(it);
    }
  }
  nodes_.erase(prefix);
  bump_generation();
}

void GraphCache::note_change() {
  std::lock_guard<std::mutex> lock(mutex_);
  bump_generation();
}

size_t GraphCache::count(EndpointKind kind, const std::string& topic) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const EndpointMap& map = endpoint_map(kind);
  return static_cast<size_t>(std::count_if(
      map.begin(), map.end(), [&topic](const auto& entry) { return entry.second.topic == topic; }));
}

std::vector<GraphCache::Endpoint> GraphCache::endpoints(EndpointKind kind) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Endpoint> found;
  for (const auto& entry : endpoint_map(kind)) {
    found.push_back(entry.second);
  }
  return found;
}

std::vector<std::pair<std::string, std::string>> GraphCache::node_names() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::pair<std::string, std::string>> names;
  for (const auto& participant : nodes_) {
    for (const NodeEntities& node : participant.second) {
      names.emplace_back(node.node_namespace, node.node_name);
    }
  }
  return names;
}

bool GraphCache::node_endpoints(const std::string& node_namespace, const std::string& node_name,
                                EndpointKind kind, std::vector<Endpoint>& found) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& participant : nodes_) {
    for (const NodeEntities& node : participant.second) {
      if (node.node_namespace != node_namespace || node.node_name != node_name) {
        continue;
      }
      const EndpointMap& map = endpoint_map(kind);
      for (const GUID_t& guid : kind == EndpointKind::reader ? node.readers : node.writers) {
        const auto endpoint = map.find(guid);
        if (endpoint != map.end()) {
          found.push_back(endpoint->second);
        }
      }
      return true;
    }
  }
  return false;
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
