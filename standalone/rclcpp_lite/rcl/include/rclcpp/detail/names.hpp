// ROS naming rules: node names, namespaces, topic and service name expansion and remapping.
#ifndef RCLCPP__DETAIL__NAMES_HPP_
#define RCLCPP__DETAIL__NAMES_HPP_

#include <string>
#include <utility>

#include "rclcpp/detail/ros_arguments.hpp"

namespace rclcpp {
namespace detail {

/// Whether `c` may stand in a ROS name token: [A-Za-z0-9_].
bool is_name_character(char c);

/// Throws rclcpp::exceptions::InvalidNodeNameError unless `name` is [A-Za-z_][A-Za-z0-9_]*.
void validate_node_name(const std::string& name);

/// The namespace made absolute ("" -> "/", "a/b" -> "/a/b"). Throws
/// rclcpp::exceptions::InvalidNamespaceError for a malformed one.
std::string absolute_namespace(const std::string& namespace_);

/// "/ns/name", or "/name" in the root namespace.
std::string fully_qualified_name(const std::string& namespace_, const std::string& name);

/// rcl's node logger name: "ns.sub.name", or "name" in the root namespace.
std::string node_logger_name(const std::string& namespace_, const std::string& name);

/// Expands "foo" to "/ns/foo", "~/foo" to "/ns/node/foo", substitutes {node} and {ns}, and
/// validates the result. Throws rclcpp::exceptions::InvalidTopicNameError or, for a service,
/// InvalidServiceNameError.
std::string expand_name(const std::string& name, const std::string& node_name,
                        const std::string& namespace_, bool is_service);

/// The node's name and namespace after the first matching __node and __ns rules.
std::pair<std::string, std::string> remap_node(const std::string& name,
                                               const std::string& namespace_,
                                               const RosArguments& arguments);

/// An expanded name after the first remap rule whose expanded left-hand side equals it.
std::string remap_name(const std::string& expanded_name, const std::string& node_name,
                       const std::string& namespace_, const RosArguments& arguments,
                       bool is_service);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__NAMES_HPP_
