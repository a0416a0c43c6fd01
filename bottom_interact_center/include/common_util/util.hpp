// A blocking call of a ROS service, for threads of their own that need the answer before they go
// on (the board listeners). The answer is delivered by an executor thread, so the client must
// belong to a callback group that an executor serves, and the caller must not be that thread.
#ifndef COMMON_UTIL__UTIL_HPP_
#define COMMON_UTIL__UTIL_HPP_

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>

#include "bottom_interact_center/source_health.hpp"
#include "rclcpp/rclcpp.hpp"

namespace common_util {

// The request a call sends and the response it received. Both start zeroed; after a failed call
// the response is still the zeroed one.
template <typename ServiceT>
struct ServiceCallData {
  std::shared_ptr<typename ServiceT::Request> request =
      std::make_shared<typename ServiceT::Request>();
  std::shared_ptr<typename ServiceT::Response> response =
      std::make_shared<typename ServiceT::Response>();
};

// Waits for the future until it is ready, the time-out passes or ROS shuts down (then nobody
// will ever complete it), so a listener thread stopping at shutdown is not held for seconds.
template <typename FutureT>
std::future_status WaitWhileRosRuns(const FutureT& future, std::chrono::milliseconds timeout) {
  constexpr std::chrono::milliseconds kSlice{50};
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const std::future_status status = future.wait_for(std::min(left, kSlice));
    if (status != std::future_status::timeout || left <= kSlice || !rclcpp::ok()) {
      return status;
    }
  }
}

// Waits up to timeout for the client's server; false when it did not come. rclcpp makes the
// graph's wait set on a client's first wait, and throws when ROS has just shut down under it.
template <typename ClientT>
bool WaitForServer(ClientT& client, std::chrono::milliseconds timeout) {
  try {
    return client.wait_for_service(timeout);
  } catch (const rclcpp::exceptions::RCLError&) {
    if (rclcpp::ok()) {
      throw;
    }
    return false;
  }
}

// Waits up to service_timeout for the server, sends one request and waits up to response_timeout
// for its answer. True only when the answer arrived in time; a late answer is dropped. With peer
// given, the call is counted there: made, answered, not offered or not answered in time (a call
// cut short by ROS shutting down counts as made only).
template <typename ServiceT>
bool SyncCallService(std::shared_ptr<rclcpp::Node> node,
                     std::shared_ptr<rclcpp::Client<ServiceT>> client,
                     ServiceCallData<ServiceT>& data, std::chrono::milliseconds response_timeout,
                     std::chrono::milliseconds service_timeout,
                     bottom_interact_center::SourceHealth* peer = nullptr) {
  using bottom_interact_center::HealthEvent;
  const auto count = [peer](HealthEvent event) {
    if (peer != nullptr && (event == HealthEvent::kCall || rclcpp::ok())) {
      peer->Count(event);
    }
  };
  count(HealthEvent::kCall);
  if (client == nullptr) {
    RCLCPP_ERROR(node->get_logger(), "ErrorCode: %d, SyncCallService client is nullptr", 101400001);
    return false;
  }
  const char* service_name = client->get_service_name();
  if (!WaitForServer(*client, service_timeout)) {
    if (rclcpp::ok()) {  // else the wait was cut short by ROS shutting down
      RCLCPP_ERROR(node->get_logger(), "ErrorCode: %d, Server:%s not exist", 101400002,
                   service_name);
    }
    count(HealthEvent::kNotOffered);
    return false;
  }
  auto future = client->async_send_request(data.request);
  const std::future_status status = WaitWhileRosRuns(future, response_timeout);
  if (status == std::future_status::timeout && !rclcpp::ok()) {
    // ROS has shut down: no executor will answer, and nobody waits for this line.
    client->remove_pending_request(future.request_id);
    return false;
  }
  if (status == std::future_status::ready) {
    data.response = future.get();
    count(HealthEvent::kData);
    return true;
  }
  count(HealthEvent::kTimedOut);
  if (status == std::future_status::timeout) {
    RCLCPP_ERROR(node->get_logger(), "ErrorCode: %d, SyncCallService server:%s timeout", 101400003,
                 service_name);
  } else {
    RCLCPP_ERROR(node->get_logger(), "ErrorCode: %d, SyncCallService server:%s wait_for deferred",
                 101400004, service_name);
  }
  client->remove_pending_request(future.request_id);
  return false;
}

}  // namespace common_util

#endif  // COMMON_UTIL__UTIL_HPP_
