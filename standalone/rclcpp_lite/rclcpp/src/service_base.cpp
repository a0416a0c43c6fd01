#include "rclcpp/service_base.hpp"

#include "rcl/types.h"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/logging.hpp"

namespace rclcpp {

ServiceBase::ServiceBase(const Context::SharedPtr& context,
                         const rclcpp_lite::ServiceEndpoints& endpoints,
                         const std::string& node_logger_name)
    : ExecutableEntity(Kind::service),
      service_name_(endpoints.service_name),
      node_logger_name_(node_logger_name),
      core_(rclcpp_lite::ServiceCore::create(context->participant(), endpoints,
                                             data_ready_callback())) {}

ServiceBase::~ServiceBase() = default;

bool ServiceBase::take_type_erased_request(void* request, rmw_request_id_t& request_id) {
  return core_->take_request(request, request_id);
}

void ServiceBase::send_type_erased_response(const rmw_request_id_t& request_id,
                                            const void* response) {
  switch (core_->send_response(request_id, response)) {
    case rclcpp_lite::ServiceCore::SendResult::ok:
      return;
    case rclcpp_lite::ServiceCore::SendResult::timeout:
      RCLCPP_WARN(get_logger(node_logger_name_ + ".rclcpp"),
                  "failed to send response to %s (timeout): %s", get_service_name(),
                  "client will not receive response");
      return;
    case rclcpp_lite::ServiceCore::SendResult::error:
      break;
  }
  throw exceptions::RCLError(RCL_RET_ERROR, rclcpp_lite::kWriteFailedDetail,
                             "failed to send response: ");
}

}  // namespace rclcpp
