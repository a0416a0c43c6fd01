#include "rclcpp/client_base.hpp"

#include <algorithm>

#include "rcl/types.h"
#include "rclcpp/exceptions.hpp"

namespace rclcpp {

namespace {

// Graph waits are cut into slices of at most this, as rclcpp does.
constexpr std::chrono::nanoseconds kGraphWaitSlice = std::chrono::milliseconds(100);

}  // namespace

ClientBase::ClientBase(const Context::SharedPtr& context,
                       const rclcpp_lite::ServiceEndpoints& endpoints)
    : ExecutableEntity(Kind::client),
      context_(context),
      service_name_(endpoints.service_name),
      participant_(context->participant()),
      core_(rclcpp_lite::ClientCore::create(participant_, endpoints, data_ready_callback())) {}

ClientBase::~ClientBase() = default;

bool ClientBase::service_is_ready() const {
  return context_->is_valid() && core_->service_is_available();
}

bool ClientBase::wait_for_service_nanoseconds(std::chrono::nanoseconds timeout) {
  const auto start = std::chrono::steady_clock::now();
  if (service_is_ready()) {
    return true;
  }
  if (timeout == std::chrono::nanoseconds::zero()) {
    return false;
  }
  for (;;) {
    // Read the generation before checking, so that a change in between ends the wait at once.
    const uint64_t generation = participant_->graph_generation();
    if (service_is_ready()) {
      return true;
    }
    if (!context_->is_valid()) {
      return false;
    }
    std::chrono::nanoseconds wait = kGraphWaitSlice;
    if (timeout > std::chrono::nanoseconds::zero()) {
      const auto remaining = timeout - (std::chrono::steady_clock::now() - start);
      if (remaining <= std::chrono::nanoseconds::zero()) {
        return false;
      }
      wait = std::min(wait, std::chrono::duration_cast<std::chrono::nanoseconds>(remaining));
    }
    participant_->wait_for_graph_change(generation, wait);
  }
}

int64_t ClientBase::send_type_erased_request(const void* request) {
  int64_t sequence_number = 0;
  if (!core_->send_request(request, sequence_number)) {
    throw exceptions::RCLError(RCL_RET_ERROR, rclcpp_lite::kWriteFailedDetail,
                               "failed to send request: ");
  }
  return sequence_number;
}

bool ClientBase::take_type_erased_response(void* response, rmw_request_id_t& request_header) {
  return core_->take_response(response, request_header);
}

}  // namespace rclcpp
