#include "rclcpp/parameter_service.hpp"

#include <memory>
#include <string>
#include <vector>

#include "rclcpp/logging.hpp"
#include "rclcpp/node.hpp"

namespace rclcpp {

namespace {

using rcl_interfaces::srv::DescribeParameters;
using rcl_interfaces::srv::GetParameters;
using rcl_interfaces::srv::GetParameterTypes;
using rcl_interfaces::srv::ListParameters;
using rcl_interfaces::srv::SetParameters;
using rcl_interfaces::srv::SetParametersAtomically;

template <typename ServiceT>
using Handler = std::function<void(const std::shared_ptr<typename ServiceT::Request>,
                                   std::shared_ptr<typename ServiceT::Response>)>;

/// rclcpp answers a request naming an undeclared parameter with an empty response (and a DEBUG
/// line), or with the failure that undeclared setting gives.
void log_undeclared(const char* what, const exceptions::ParameterNotDeclaredException& error) {
  RCLCPP_DEBUG(get_logger("rclcpp"), "Failed to %s: %s", what, error.what());
}

/// A handler that answers with `answer`, or leaves the response empty when the request names an
/// undeclared parameter.
template <typename ServiceT, typename Answer>
Handler<ServiceT> answer_declared(const char* what, Answer answer) {
  return [what, answer](const auto request, auto response) {
    try {
      answer(*request, *response);
    } catch (const exceptions::ParameterNotDeclaredException& error) {
      log_undeclared(what, error);
    }
  };
}

std::vector<Parameter> from_messages(const std::vector<rcl_interfaces::msg::Parameter>& messages) {
  std::vector<Parameter> parameters;
  for (const auto& message : messages) {
    parameters.push_back(Parameter::from_parameter_msg(message));
  }
  return parameters;
}

/// The result of setting the parameters all at once; a set naming an undeclared parameter fails
/// for `undeclared_reason` (empty: the exception's message).
rcl_interfaces::msg::SetParametersResult set_or_refuse(node_interfaces::NodeParameters* params,
                                                       const std::vector<Parameter>& parameters,
                                                       const char* what,
                                                       const std::string& undeclared_reason) {
  try {
    return params->set_parameters_atomically(parameters);
  } catch (const exceptions::ParameterNotDeclaredException& error) {
    log_undeclared(what, error);
    rcl_interfaces::msg::SetParametersResult result;
    result.reason = undeclared_reason.empty() ? error.what() : undeclared_reason;
    return result;
  }
}

template <typename ServiceT, typename HandlerT>
typename Service<ServiceT>::SharedPtr serve(Node& node, const char* name,
                                            const rmw_qos_profile_t& qos, HandlerT handler) {
  return node.create_service<ServiceT>(std::string(node.get_name()) + "/" + name,
                                       Handler<ServiceT>(std::move(handler)), qos);
}

}  // namespace

ParameterService::ParameterService(Node& node, node_interfaces::NodeParameters* params,
                                   const rmw_qos_profile_t& qos) {
  get_parameters_service_ = serve<GetParameters>(
      node, "get_parameters", qos,
      answer_declared<GetParameters>("get parameters", [params](const auto& rq, auto& rs) {
        for (const Parameter& parameter : params->get_parameters(rq.names)) {
          rs.values.push_back(parameter.get_value_message());
        }
      }));
  get_parameter_types_service_ = serve<GetParameterTypes>(
      node, "get_parameter_types", qos,
      answer_declared<GetParameterTypes>("get parameter types", [params](const auto& rq, auto& rs) {
        rs.types = params->get_parameter_types(rq.names);
      }));
  // One by one: a failure leaves the others' results standing.
  set_parameters_service_ = serve<SetParameters>(
      node, "set_parameters", qos, [params](const auto request, auto response) {
        for (const Parameter& parameter : from_messages(request->parameters)) {
          response->results.push_back(set_or_refuse(params, {parameter}, "set parameter", ""));
        }
      });
  set_parameters_atomically_service_ = serve<SetParametersAtomically>(
      node, "set_parameters_atomically", qos, [params](const auto request, auto response) {
        response->result =
            set_or_refuse(params, from_messages(request->parameters), "set parameters atomically",
                          "One or more parameters were not declared before setting");
      });
  describe_parameters_service_ =
      serve<DescribeParameters>(node, "describe_parameters", qos,
                                answer_declared<DescribeParameters>(
                                    "describe parameters", [params](const auto& rq, auto& rs) {
                                      rs.descriptors = params->describe_parameters(rq.names);
                                    }));
  list_parameters_service_ = serve<ListParameters>(
      node, "list_parameters", qos, [params](const auto request, auto response) {
        response->result = params->list_parameters(request->prefixes, request->depth);
      });
}

}  // namespace rclcpp
