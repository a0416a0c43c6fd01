// rclcpp::ParameterService as in rclcpp/parameter_service.hpp (Humble): the six services through
// which other nodes (`ros2 param`, parameter clients) read and set a node's parameters, named
// <node>/get_parameters and so on, in the node's default callback group.
#ifndef RCLCPP__PARAMETER_SERVICE_HPP_
#define RCLCPP__PARAMETER_SERVICE_HPP_

#include "rcl_interfaces/srv/describe_parameters.hpp"
#include "rcl_interfaces/srv/get_parameter_types.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters_atomically.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_parameters.hpp"
#include "rclcpp/service.hpp"
#include "rmw/qos_profiles.h"

namespace rclcpp {

class Node;

class ParameterService {
public:
  RCLCPP_SMART_PTR_DEFINITIONS(ParameterService)

  /// Serves node_params, which must outlive this, as `node`'s parameters.
  ParameterService(rclcpp::Node& node, node_interfaces::NodeParameters* node_params,
                   const rmw_qos_profile_t& qos_profile = rmw_qos_profile_parameters);

private:
  Service<rcl_interfaces::srv::GetParameters>::SharedPtr get_parameters_service_;
  Service<rcl_interfaces::srv::GetParameterTypes>::SharedPtr get_parameter_types_service_;
  Service<rcl_interfaces::srv::SetParameters>::SharedPtr set_parameters_service_;
  Service<rcl_interfaces::srv::SetParametersAtomically>::SharedPtr
      set_parameters_atomically_service_;
  Service<rcl_interfaces::srv::DescribeParameters>::SharedPtr describe_parameters_service_;
  Service<rcl_interfaces::srv::ListParameters>::SharedPtr list_parameters_service_;
};

}  // namespace rclcpp

#endif  // RCLCPP__PARAMETER_SERVICE_HPP_
