// rclcpp::Service as in rclcpp/service.hpp (Humble).
#ifndef RCLCPP__SERVICE_HPP_
#define RCLCPP__SERVICE_HPP_

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "rclcpp/any_service_callback.hpp"
#include "rclcpp/service_base.hpp"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"

namespace rclcpp {

template <typename ServiceT>
class Service : public ServiceBase {
public:
  using Request = typename ServiceT::Request;
  using Response = typename ServiceT::Response;
  using SharedRequest = std::shared_ptr<Request>;
  using SharedResponse = std::shared_ptr<Response>;
  using CallbackType = typename AnyServiceCallback<ServiceT>::CallbackType;
  using CallbackWithHeaderType = typename AnyServiceCallback<ServiceT>::CallbackWithHeaderType;

  RCLCPP_SMART_PTR_DEFINITIONS(Service)

  Service(const Context::SharedPtr& context, rclcpp_lite::NodeId node,
          const std::string& service_name, AnyServiceCallback<ServiceT> any_callback,
          const rmw_qos_profile_t& qos_profile, const std::string& node_logger_name)
      : ServiceBase(context,
                    rclcpp_lite::service_endpoints<ServiceT>(node, service_name, qos_profile),
                    node_logger_name),
        any_callback_(std::move(any_callback)) {}

  /// Sends `response` to the client that sent the request `req_id` names.
  void send_response(rmw_request_id_t& req_id, Response& response) {
    send_type_erased_response(req_id, &response);
  }

  std::function<void()> take_work() override {
    auto header = std::make_shared<rmw_request_id_t>();
    auto request = std::make_shared<Request>();
    if (!take_type_erased_request(request.get(), *header)) {
      return {};
    }
    return [this, header, request] {
      auto response = std::make_shared<Response>();
      any_callback_.dispatch(header, request, response);
      send_response(*header, *response);
    };
  }

private:
  const AnyServiceCallback<ServiceT> any_callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__SERVICE_HPP_
