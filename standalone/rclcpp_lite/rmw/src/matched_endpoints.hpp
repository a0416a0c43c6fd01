// The remote endpoints a reader or writer is matched with, fed by its listener. Callers can wait
// for a particular one, and hear of every match and unmatch.
#ifndef RCLCPP_LITE__DDS__MATCHED_ENDPOINTS_HPP_
#define RCLCPP_LITE__DDS__MATCHED_ENDPOINTS_HPP_

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>

#include <fastdds/rtps/common/Guid.h>
#include <fastdds/rtps/common/InstanceHandle.h>

namespace rclcpp_lite::middleware {

class MatchedEndpoints {
public:
  using ChangeCallback =
      std::function<void(const eprosima::fastrtps::rtps::GUID_t& endpoint, bool matched)>;

  /// on_change, if set, runs on the middleware thread after each add and remove.
  explicit MatchedEndpoints(ChangeCallback on_change = nullptr);

  /// A listener's matched status: the endpoint `handle` matched (count change > 0) or unmatched
  /// (< 0).
  void update(const eprosima::fastrtps::rtps::InstanceHandle_t& handle, int32_t count_change);
  size_t count() const;
  /// True once guid is matched, false if the timeout passes first.
  bool wait_for(const eprosima::fastrtps::rtps::GUID_t& guid, std::chrono::nanoseconds timeout);

private:
  ChangeCallback on_change_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::set<eprosima::fastrtps::rtps::GUID_t> matched_;
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__MATCHED_ENDPOINTS_HPP_
