#include "matched_endpoints.hpp"

namespace rclcpp_lite::middleware {

using eprosima::fastrtps::rtps::GUID_t;

MatchedEndpoints::MatchedEndpoints(ChangeCallback on_change) : on_change_(std::move(on_change)) {}

void MatchedEndpoints::update(const eprosima::fastrtps::rtps::InstanceHandle_t& handle,
                              int32_t count_change) {
  if (count_change == 0) {
    return;
  }
  const GUID_t guid = eprosima::fastrtps::rtps::iHandle2GUID(handle);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (count_change > 0) {
      matched_.insert(guid);
      changed_.notify_all();
    } else {
      matched_.erase(guid);
    }
  }
  if (on_change_) {
    on_change_(guid, count_change > 0);
  }
}

size_t MatchedEndpoints::count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return matched_.size();
}

bool MatchedEndpoints::wait_for(const GUID_t& guid, std::chrono::nanoseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [this, &guid] { return matched_.count(guid) > 0; });
}

}  // namespace rclcpp_lite::middleware
