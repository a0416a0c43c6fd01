// rclcpp's QoS override parameters of a publisher, for the one every node has on
// /parameter_events: qos_overrides.<topic>.publisher.{depth,durability,history,reliability},
// read-only, showing the QoS in use; a start-up value (-p, parameter file) changes it.
#ifndef RCLCPP__DETAIL__QOS_PARAMETERS_HPP_
#define RCLCPP__DETAIL__QOS_PARAMETERS_HPP_

#include <map>
#include <string>

#include "rclcpp/node_interfaces/node_parameters.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/qos.hpp"

namespace rclcpp {
namespace detail {

/// `qos` with the overrides given for the publisher on `topic` (a fully qualified name).
/// Throws std::invalid_argument for a policy value that names no policy, as rclcpp does.
QoS publisher_qos_with_overrides(const std::string& topic, QoS qos,
                                 const std::map<std::string, ParameterValue>& overrides);

/// Declares the four parameters, read-only, with `qos`'s values.
void declare_publisher_qos_parameters(node_interfaces::NodeParameters& parameters,
                                      const std::string& topic, const QoS& qos);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__QOS_PARAMETERS_HPP_
