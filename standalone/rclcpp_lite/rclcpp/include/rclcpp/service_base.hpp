// The type-independent part of rclcpp::Service.
#ifndef RCLCPP__SERVICE_BASE_HPP_
#define RCLCPP__SERVICE_BASE_HPP_

#include <memory>
#include <string>

#include "rclcpp/context.hpp"
#include "rclcpp/detail/executable_entity.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp_lite/middleware.hpp"
#include "rmw/types.h"

namespace rclcpp {

class ServiceBase : public detail::ExecutableEntity {
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(ServiceBase)

  /// The service name is fully qualified; responses that time out are reported on the logger
  /// "<node_logger_name>.rclcpp". Throws std::runtime_error if the DDS endpoints cannot be made.
  ServiceBase(const Context::SharedPtr& context, const rclcpp_lite::ServiceEndpoints& endpoints,
              const std::string& node_logger_name);
  ~ServiceBase() override;

  const char* get_service_name() const { return service_name_.c_str(); }

protected:
  bool take_type_erased_request(void* request, rmw_request_id_t& request_id);
  /// A client that cannot be reached in time is logged (WARN), not thrown; other failures throw
  /// rclcpp::exceptions::RCLError "failed to send response".
  void send_type_erased_response(const rmw_request_id_t& request_id, const void* response);

private:
  const std::string service_name_;
  const std::string node_logger_name_;
  const std::unique_ptr<rclcpp_lite::ServiceCore> core_;
};

}  // namespace rclcpp

#endif  // RCLCPP__SERVICE_BASE_HPP_
