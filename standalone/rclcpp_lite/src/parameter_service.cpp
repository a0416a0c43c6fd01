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

}  // namespace

ParameterService::ParameterService(Node& node, node_interfaces::NodeParameters* params,
                                   const rmw_qos_profile_t& qos_profile) {
  const std::string prefix = std::string(node.get_name()) + "/";

  get_parameters_service_ = node.create_service<GetParameters>(
      prefix + "get_parameters",
      answer_declared<GetParameters>("get parameters",
                                     [params](const auto& request, auto& response) {
                                       for (const Parameter& parameter :
                                            params->get_parameters(request.names)) {
                                         response.values.push_back(parameter.get_value_message());
                                       }
                                     }),
      qos_profile);

  get_parameter_types_service_ = node.create_service<GetParameterTypes>(
      prefix + "get_parameter_types",
      answer_declared<GetParameterTypes>("get parameter types",
                                         [params](const auto& request, auto& response) {
                                           response.types =
                                               params->get_parameter_types(request.names);
                                         }),
      qos_profile);

  set_parameters_service_ = node.create_service<SetParameters>(
      prefix + "set_parameters",
      Handler<SetParameters>([params](const auto request, auto response) {
        // One by one: a failure leaves the others' results standing.
        for (const Parameter& parameter : from_messages(request->parameters)) {
          response->results.push_back(set_or_refuse(params, {parameter}, "set parameter", ""));
        }
      }),
      qos_profile);

  set_parameters_atomically_service_ = node.create_service<SetParametersAtomically>(
      prefix + "set_parameters_atomically",
      Handler<SetParametersAtomically>([params](const auto request, auto response) {
        response->result =
            set_or_refuse(params, from_messages(request->parameters), "set parameters atomically",
                          "One or more parameters were not declared before setting");
      }),
      qos_profile);

  describe_parameters_service_ = node.create_service<DescribeParameters>(
      prefix + "describe_parameters",
      answer_declared<DescribeParameters>("describe parameters",
                                          [params](const auto& request, auto& response) {
                                            response.descriptors =
                                                params->describe_parameters(request.names);
                                          }),
      qos_profile);

  list_parameters_service_ = node.create_service<ListParameters>(
      prefix + "list_parameters",
      Handler<ListParameters>([params](const auto request, auto response) {
        response->result = params->list_parameters(request->prefixes, request->depth);
      }),
      qos_profile);
}

}  // namespace rclcpp
