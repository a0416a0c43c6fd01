// The DDS endpoints this participant knows of, local and remote, by GUID with their topic names.
// Every change bumps a wake signal that graph waiters block on.
#ifndef RCLCPP_LITE__DDS__GRAPH_CACHE_HPP_
#define RCLCPP_LITE__DDS__GRAPH_CACHE_HPP_

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include <fastdds/rtps/common/Guid.h>

#include "rclcpp_lite/wake_signal.hpp"

namespace rclcpp_lite::middleware {

class GraphCache {
public:
  enum class EndpointKind { reader, writer };

  /// Adding a known GUID again only updates its topic (a DDS topic name, e.g. "rt/robot_event").
  void add_endpoint(EndpointKind kind, const eprosima::fastrtps::rtps::GUID_t& guid,
                    const std::string& topic);
  void remove_endpoint(EndpointKind kind, const eprosima::fastrtps::rtps::GUID_t& guid);
  /// Forgets every endpoint of a participant that left or was dropped.
  void remove_participant(const eprosima::fastrtps::rtps::GuidPrefix_t& prefix);
  /// A change that moves no count, e.g. a new participant; waiters still want to re-check.
  void note_change() { changed_.notify(); }

  size_t count(EndpointKind kind, const std::string& topic) const;

  uint64_t generation() const { return changed_.generation(); }
  bool wait_for_change(uint64_t seen, std::chrono::nanoseconds timeout) const {
    return changed_.wait_for_change(seen, timeout);
  }

private:
  using EndpointMap = std::map<eprosima::fastrtps::rtps::GUID_t, std::string>;
  EndpointMap& endpoint_map(EndpointKind kind) {
    return kind == EndpointKind::reader ? readers_ : writers_;
  }

  mutable std::mutex mutex_;
  EndpointMap readers_;
  EndpointMap writers_;
  WakeSignal changed_;
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__GRAPH_CACHE_HPP_
