// rclcpp::Node as in rclcpp/node.hpp (Humble): the subset of its members listed below.
#ifndef RCLCPP__NODE_HPP_
#define RCLCPP__NODE_HPP_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rclcpp/callback_group.hpp"
#include "rclcpp/client.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/logger.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/node_interfaces/node_parameters_interface.hpp"
#include "rclcpp/node_options.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/publisher.hpp"
#include "rclcpp/publisher_options.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/service.hpp"
#include "rclcpp/subscription.hpp"
#include "rclcpp/subscription_options.hpp"
#include "rclcpp/time.hpp"
#include "rclcpp/timer.hpp"
#include "rmw/qos_profiles.h"

namespace rclcpp {

class Executor;
class ParameterService;
namespace detail {
class NodeRosout;
}  // namespace detail

class Node : public std::enable_shared_from_this<Node>,
             public rclcpp::node_interfaces::NodeBaseInterface {
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Node)

  /// Throws InvalidNodeNameError / InvalidNamespaceError for bad names, RCLError if the context
  /// is not initialised, UnknownROSArgsError / RCLError for bad NodeOptions::arguments, and the
  /// parameter exceptions when an override does not fit use_sim_time.
  explicit Node(const std::string& node_name, const NodeOptions& options = NodeOptions());
  explicit Node(const std::string& node_name, const std::string& namespace_,
                const NodeOptions& options = NodeOptions());
  virtual ~Node();

  const char* get_name() const override { return name_.c_str(); }
  const char* get_namespace() const override { return namespace_.c_str(); }
  const char* get_fully_qualified_name() const override { return fully_qualified_name_.c_str(); }
  rclcpp::Logger get_logger() const { return logger_; }
  const NodeOptions& get_node_options() const { return options_; }

  rclcpp::CallbackGroup::SharedPtr create_callback_group(
      rclcpp::CallbackGroupType group_type, bool automatically_add_to_executor_with_node = true);

  template <typename MessageT, typename AllocatorT = std::allocator<void>,
            typename PublisherT = rclcpp::Publisher<MessageT, AllocatorT>>
  std::shared_ptr<PublisherT> create_publisher(
      const std::string& topic_name, const rclcpp::QoS& qos,
      const PublisherOptionsWithAllocator<AllocatorT>& options =
          PublisherOptionsWithAllocator<AllocatorT>());

  template <typename MessageT, typename CallbackT, typename AllocatorT = std::allocator<void>,
            typename SubscriptionT = rclcpp::Subscription<MessageT, AllocatorT>>
  std::shared_ptr<SubscriptionT> create_subscription(
      const std::string& topic_name, const rclcpp::QoS& qos, CallbackT&& callback,
      const SubscriptionOptionsWithAllocator<AllocatorT>& options =
          SubscriptionOptionsWithAllocator<AllocatorT>());

  template <typename ServiceT>
  typename rclcpp::Client<ServiceT>::SharedPtr create_client(
      const std::string& service_name,
      const rmw_qos_profile_t& qos_profile = rmw_qos_profile_services_default,
      rclcpp::CallbackGroup::SharedPtr group = nullptr);

  template <typename ServiceT, typename CallbackT>
  typename rclcpp::Service<ServiceT>::SharedPtr create_service(
      const std::string& service_name, CallbackT&& callback,
      const rmw_qos_profile_t& qos_profile = rmw_qos_profile_services_default,
      rclcpp::CallbackGroup::SharedPtr group = nullptr);

  /// A timer on the steady clock in `group` (null: the node's default group); the caller owns it,
  /// and once it is dropped it is called no more. Throws std::invalid_argument for a negative
  /// period.
  template <typename DurationRepT = int64_t, typename DurationT = std::milli, typename CallbackT>
  typename rclcpp::WallTimer<CallbackT>::SharedPtr create_wall_timer(
      std::chrono::duration<DurationRepT, DurationT> period, CallbackT callback,
      rclcpp::CallbackGroup::SharedPtr group = nullptr);

  const rclcpp::ParameterValue& declare_parameter(
      const std::string& name, const rclcpp::ParameterValue& default_value,
      const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor(),
      bool ignore_override = false);

  const rclcpp::ParameterValue& declare_parameter(
      const std::string& name, rclcpp::ParameterType type,
      const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor{},
      bool ignore_override = false);

  /// Returns the initial value as ParameterT's parameter type (integral: int64_t, floating
  /// point: double, string-like: std::string, ...).
  template <typename ParameterT>
  auto declare_parameter(const std::string& name, const ParameterT& default_value,
                         const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor =
                             rcl_interfaces::msg::ParameterDescriptor(),
                         bool ignore_override = false);

  /// Declares without a default: an override must give the value.
  template <typename ParameterT>
  auto declare_parameter(const std::string& name,
                         const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor =
                             rcl_interfaces::msg::ParameterDescriptor(),
                         bool ignore_override = false);

  bool has_parameter(const std::string& name) const;

  /// Throws ParameterNotDeclaredException for an undeclared parameter (unless undeclared
  /// parameters are allowed) and ParameterUninitializedException for one without a value.
  rclcpp::Parameter get_parameter(const std::string& name) const;

  /// False, without throwing, for an undeclared parameter or one without a value.
  bool get_parameter(const std::string& name, rclcpp::Parameter& parameter) const;

  /// False for an undeclared parameter or one without a value; `parameter` is written only on
  /// success. A wrong type throws InvalidParameterTypeException.
  template <typename ParameterT>
  bool get_parameter(const std::string& name, ParameterT& parameter) const;

  template <typename ParameterT>
  bool get_parameter_or(const std::string& name, ParameterT& parameter,
                        const ParameterT& alternative_value) const;

  template <typename ParameterT>
  ParameterT get_parameter_or(const std::string& name, const ParameterT& alternative_value) const;

  /// Fully qualified names of the nodes in the graph, this one included.
  std::vector<std::string> get_node_names() const;
  std::map<std::string, std::vector<std::string>> get_topic_names_and_types() const;
  /// Services with a server or a client.
  std::map<std::string, std::vector<std::string>> get_service_names_and_types() const;
  /// The services the node serves (clients do not count). Throws std::runtime_error if no such
  /// node is in the graph.
  std::map<std::string, std::vector<std::string>> get_service_names_and_types_by_node(
      const std::string& node_name, const std::string& namespace_) const;
  /// `topic_name` is expanded (a relative name is taken in the node's namespace), not remapped.
  size_t count_publishers(const std::string& topic_name) const;
  size_t count_subscribers(const std::string& topic_name) const;

  /// The node's clock: ROS time, which here always follows the system clock.
  rclcpp::Clock::SharedPtr get_clock();
  rclcpp::Clock::ConstSharedPtr get_clock() const;
  Time now() const;

  rclcpp::node_interfaces::NodeParametersInterface::SharedPtr get_node_parameters_interface();
  /// The node itself, seen through the interface. The node must be owned by a shared_ptr.
  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr get_node_base_interface();

  rclcpp::Context::SharedPtr get_context() override { return context_; }
  bool callback_group_in_node(rclcpp::CallbackGroup::SharedPtr group) override;
  std::atomic_bool& get_associated_with_executor_atomic() override {
    return associated_with_executor_;
  }

private:
  RCLCPP_DISABLE_COPY(Node)

  friend class Executor;

  /// The node's /rosout publisher, unless another node of its name has one.
  void start_rosout();
  /// The parameters with their events publisher and services, and those every node declares.
  void start_parameters(const NodeOptions& options);
  /// This node in its participant's announced graph information.
  rclcpp_lite::NodeId graph_node() const { return *graph_node_; }
  /// Expands and remaps a topic or service name for this node.
  std::string resolve_name(const std::string& name, bool is_service) const;
  /// Puts an entity into `group` (null: the default group) and wakes the executors. Throws
  /// std::runtime_error "Cannot create <kind>, group not in node." for a group of another node.
  void add_to_group(const rclcpp::CallbackGroup::SharedPtr& group,
                    const std::shared_ptr<detail::ExecutableEntity>& entity, const char* kind);
  /// The node's live callback groups, for the executor.
  std::vector<rclcpp::CallbackGroup::SharedPtr> callback_groups() const;

  const NodeOptions options_;
  const Context::SharedPtr context_;
  std::shared_ptr<const detail::RosArguments> local_arguments_;
  std::shared_ptr<const detail::RosArguments> global_arguments_;  // null if not used
  std::string name_;
  std::string namespace_;
  std::string fully_qualified_name_;
  rclcpp::Logger logger_;
  rclcpp::Clock::SharedPtr clock_;
  // Taken out of the graph information with the node.
  std::shared_ptr<const rclcpp_lite::NodeId> graph_node_;
  std::shared_ptr<rclcpp::detail::NodeRosout> rosout_;
  std::shared_ptr<rclcpp::node_interfaces::NodeParametersInterface> parameters_;
  std::shared_ptr<rclcpp::ParameterService> parameter_service_;  // serves parameters_
  rclcpp::CallbackGroup::SharedPtr default_callback_group_;
  mutable std::mutex callback_groups_mutex_;
  std::vector<rclcpp::CallbackGroup::WeakPtr> callback_groups_;
  std::atomic_bool associated_with_executor_{false};
};

}  // namespace rclcpp

#include "rclcpp/node_impl.hpp"

#endif  // RCLCPP__NODE_HPP_
