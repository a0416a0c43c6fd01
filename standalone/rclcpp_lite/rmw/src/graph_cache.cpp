#include "graph_cache.hpp"

#include <algorithm>

namespace rclcpp_lite::middleware {

using eprosima::fastrtps::rtps::GUID_t;
using eprosima::fastrtps::rtps::GuidPrefix_t;

void GraphCache::add_endpoint(EndpointKind kind, const GUID_t& guid, const std::string& topic) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    endpoint_map(kind)[guid] = topic;
  }
  note_change();
}

void GraphCache::remove_endpoint(EndpointKind kind, const GUID_t& guid) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (endpoint_map(kind).erase(guid) > 0) {
    note_change();
  }
}

void GraphCache::remove_participant(const GuidPrefix_t& prefix) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (EndpointMap* map : {&readers_, &writers_}) {
      for (auto it = map->begin(); it != map->end();) {
        it = it->first.guidPrefix == prefix ? map->erase(it) : std::next(it);
      }
    }
  }
  note_change();
}

size_t GraphCache::count(EndpointKind kind, const std::string& topic) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const EndpointMap& map = kind == EndpointKind::reader ? readers_ : writers_;
  return static_cast<size_t>(std::count_if(
      map.begin(), map.end(), [&topic](const auto& entry) { return entry.second == topic; }));
}

}  // namespace rclcpp_lite::middleware
