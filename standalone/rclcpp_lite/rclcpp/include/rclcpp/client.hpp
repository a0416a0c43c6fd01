// rclcpp::Client as in rclcpp/client.hpp (Humble): futures completed by the executor that runs
// the client's callback group.
#ifndef RCLCPP__CLIENT_HPP_
#define RCLCPP__CLIENT_HPP_

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include "rclcpp/client_base.hpp"
#include "rcutils/logging_macros.h"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"

namespace rclcpp {

namespace detail {

/// A future and the id of the request it waits for. Move-only.
template <typename FutureT>
struct FutureAndRequestId {
  FutureT future;
  int64_t request_id;

  FutureAndRequestId(FutureT impl, int64_t req_id) : future(std::move(impl)), request_id(req_id) {}

  auto get() { return this->future.get(); }
  bool valid() const noexcept { return this->future.valid(); }
  void wait() const { return this->future.wait(); }
  template <class Rep, class Period>
  std::future_status wait_for(const std::chrono::duration<Rep, Period>& timeout_duration) const {
    return this->future.wait_for(timeout_duration);
  }
  template <class Clock, class Duration>
  std::future_status wait_until(
      const std::chrono::time_point<Clock, Duration>& timeout_time) const {
    return this->future.wait_until(timeout_time);
  }

  FutureAndRequestId(FutureAndRequestId&& other) noexcept = default;
  FutureAndRequestId(const FutureAndRequestId& other) = delete;
  FutureAndRequestId& operator=(FutureAndRequestId&& other) noexcept = default;
  FutureAndRequestId& operator=(const FutureAndRequestId& other) = delete;
  ~FutureAndRequestId() = default;
};

}  // namespace detail

template <typename ServiceT>
class Client : public ClientBase {
public:
  using Request = typename ServiceT::Request;
  using Response = typename ServiceT::Response;
  using SharedRequest = typename ServiceT::Request::SharedPtr;
  using SharedResponse = typename ServiceT::Response::SharedPtr;
  using Promise = std::promise<SharedResponse>;
  using SharedPromise = std::shared_ptr<Promise>;
  using Future = std::future<SharedResponse>;
  using SharedFuture = std::shared_future<SharedResponse>;

  RCLCPP_SMART_PTR_DEFINITIONS(Client)

  struct FutureAndRequestId : detail::FutureAndRequestId<std::future<SharedResponse>> {
    using detail::FutureAndRequestId<std::future<SharedResponse>>::FutureAndRequestId;

    SharedFuture share() noexcept { return this->future.share(); }
  };

  Client(const Context::SharedPtr& context, rclcpp_lite::NodeId node,
         const std::string& service_name, const rmw_qos_profile_t& qos_profile)
      : ClientBase(context,
                   rclcpp_lite::service_endpoints<ServiceT>(node, service_name, qos_profile)) {}

  /// Sends the request at once (no availability check). The future becomes ready when an
  /// executor running this client's callback group handles the response. Thread safe.
  FutureAndRequestId async_send_request(SharedRequest request) {
    Promise promise;
    auto future = promise.get_future();
    // Held across send and insert, so that a response handled at once finds its promise.
    std::lock_guard<std::mutex> lock(pending_requests_mutex_);
    const int64_t request_id = send_type_erased_request(request.get());
    pending_requests_.emplace(request_id, std::move(promise));
    return FutureAndRequestId(std::move(future), request_id);
  }

  /// Forgets the request: its future breaks and a response arriving later is ignored. Returns
  /// whether it was still pending.
  bool remove_pending_request(int64_t request_id) {
    std::lock_guard<std::mutex> lock(pending_requests_mutex_);
    return pending_requests_.erase(request_id) != 0u;
  }

  std::function<void()> take_work() override {
    auto response = std::make_shared<Response>();
    rmw_request_id_t header{};
    if (!take_type_erased_response(response.get(), header)) {
      return {};
    }
    return [this, response, request_id = header.sequence_number] {
      handle_response(request_id, response);
    };
  }

private:
  void handle_response(int64_t request_id, const SharedResponse& response) {
    Promise promise;
    {
      std::lock_guard<std::mutex> lock(pending_requests_mutex_);
      const auto it = pending_requests_.find(request_id);
      if (it == pending_requests_.end()) {
        RCUTILS_LOG_DEBUG_NAMED("rclcpp", "Received invalid sequence number. Ignoring...");
        return;
      }
      promise = std::move(it->second);
      pending_requests_.erase(it);
    }
    promise.set_value(response);
  }

  std::mutex pending_requests_mutex_;
  std::unordered_map<int64_t, Promise> pending_requests_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CLIENT_HPP_
