// The type-independent part of rclcpp::Client.
#ifndef RCLCPP__CLIENT_BASE_HPP_
#define RCLCPP__CLIENT_BASE_HPP_

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "rclcpp/context.hpp"
#include "rclcpp/detail/executable_entity.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp_lite/middleware.hpp"
#include "rmw/types.h"

namespace rclcpp {

class ClientBase : public detail::ExecutableEntity {
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(ClientBase)

  /// The service name is fully qualified. Throws std::runtime_error if the DDS endpoints cannot
  /// be made.
  ClientBase(const Context::SharedPtr& context, const rclcpp_lite::ServiceEndpoints& endpoints);
  ~ClientBase() override;

  const char* get_service_name() const { return service_name_.c_str(); }

  /// Whether a server is there and matched both ways; false once the context is shut down.
  bool service_is_ready() const;

  /// Waits until service_is_ready(): 0 checks once, a negative timeout waits forever. False on
  /// timeout or when the context shuts down.
  template <typename RepT = int64_t, typename RatioT = std::milli>
  bool wait_for_service(
      std::chrono::duration<RepT, RatioT> timeout = std::chrono::duration<RepT, RatioT>(-1)) {
    return wait_for_service_nanoseconds(
        std::chrono::duration_cast<std::chrono::nanoseconds>(timeout));
  }

protected:
  bool wait_for_service_nanoseconds(std::chrono::nanoseconds timeout);
  /// Throws rclcpp::exceptions::RCLError "failed to send request" when the middleware fails.
  int64_t send_type_erased_request(const void* request);
  bool take_type_erased_response(void* response, rmw_request_id_t& request_header);

private:
  const Context::SharedPtr context_;
  const std::string service_name_;
  const std::shared_ptr<rclcpp_lite::Participant> participant_;
  const std::unique_ptr<rclcpp_lite::ClientCore> core_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CLIENT_BASE_HPP_
