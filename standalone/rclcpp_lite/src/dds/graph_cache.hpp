// The DDS endpoints this participant knows of, local and remote, by GUID and topic name. Every
// change bumps a generation counter that waiters block on.
#ifndef RCLCPP_LITE__DDS__GRAPH_CACHE_HPP_
#define RCLCPP_LITE__DDS__GRAPH_CACHE_HPP_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include <fastdds/rtps/common/Guid.h>

namespace rclcpp_lite::middleware {

class GraphCache {
public:
  enum class EndpointKind { reader, writer };

  /// Adding a known GUID again only updates its topic.
  void add_endpoint(EndpointKind kind, const eprosima::fastrtps::rtps::GUID_t& guid,
                    const std::string& topic);
  void remove_endpoint(EndpointKind kind, const eprosima::fastrtps::rtps::GUID_t& guid);
  /// Forgets every endpoint of a participant that left or was dropped.
  void remove_participant(const eprosima::fastrtps::rtps::GuidPrefix_t& prefix);
  /// A change that moves no count, e.g. a new participant; waiters still want to re-check.
  void note_change();

  size_t count(EndpointKind kind, const std::string& topic) const;
  uint64_t generation() const;
  bool wait_for_change(uint64_t seen, std::chrono::nanoseconds timeout);

private:
  using EndpointMap = std::map<eprosima::fastrtps::rtps::GUID_t, std::string>;
  EndpointMap& endpoints(EndpointKind kind) {
    return kind == EndpointKind::reader ? readers_ : writers_;
  }
  const EndpointMap& endpoints(EndpointKind kind) const {
    return kind == EndpointKind::reader ? readers_ : writers_;
  }
  /// Call with mutex_ held.
  void bump_generation();

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  EndpointMap readers_;
  EndpointMap writers_;
  uint64_t generation_ = 0;
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__GRAPH_CACHE_HPP_
