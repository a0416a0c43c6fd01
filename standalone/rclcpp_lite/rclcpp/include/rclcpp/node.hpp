// rclcpp::Node as in rclcpp/node.hpp (Humble): the subset of its members listed below.
#ifndef RCLCPP__NODE_HPP_
#define RCLCPP__NODE_HPP_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rclcpp/callback_group.hpp"
#include "rclcpp/client.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/logger.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/node_interfaces/node_parameters.hpp"
#include "rclcpp/node_options.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/publisher.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/service.hpp"
#include "rclcpp/subscription.hpp"
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
  /// is not initialised, and InvalidParameterTypeException when an override does not fit
  /// use_sim_time.
  explicit Node(const std::string& node_name, const NodeOptions& options = NodeOptions());
  explicit Node(const std::string& node_name, const std::string& namespace_,
                const NodeOptions& options = NodeOptions());
  virtual ~Node();

  const char* get_name() const override { return name_.c_str(); }
  const char* get_namespace() const override { return namespace_.c_str(); }
  const char* get_fully_qualified_name() const override { return fully_qualified_name_.c_str(); }
  rclcpp::Logger get_logger() const { return logger_; }

  rclcpp::CallbackGroup::SharedPtr create_callback_group(
      rclcpp::CallbackGroupType group_type, bool automatically_add_to_executor_with_node = true);

  template <typename MessageT, typename AllocatorT = std::allocator<void>,
            typename PublisherT = rclcpp::Publisher<MessageT, AllocatorT>>
  std::shared_ptr<PublisherT> create_publisher(const std::string& topic_name,
                                               const rclcpp::QoS& qos);

  template <typename MessageT, typename CallbackT,
            typename SubscriptionT = rclcpp::Subscription<MessageT>>
  std::shared_ptr<SubscriptionT> create_subscription(const std::string& topic_name,
                                                     const rclcpp::QoS& qos, CallbackT&& callback);

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

  /// See NodeParameters::declare_parameter.
  const rclcpp::ParameterValue& declare_parameter(
      const std::string& name, const rclcpp::ParameterValue& default_value,
      const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor());

  /// False for an undeclared parameter.
  bool get_parameter(const std::string& name, rclcpp::Parameter& parameter) const;

  /// False for an undeclared parameter; `parameter` is written only on success. A wrong type
  /// throws InvalidParameterTypeException.
  template <typename ParameterT>
  bool get_parameter(const std::string& name, ParameterT& parameter) const;

  /// `topic_name` is expanded (a relative name is taken in the node's namespace), not remapped.
  size_t count_subscribers(const std::string& topic_name) const;

  /// The time of the node's clock: ROS time, which here always follows the system clock.
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
  void start_parameters();
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

  const Context::SharedPtr context_;
  const std::shared_ptr<const detail::RosArguments> arguments_;  // those given to init
  std::string name_;
  std::string namespace_;
  std::string fully_qualified_name_;
  rclcpp::Logger logger_;
  rclcpp::Clock::SharedPtr clock_;
  // Taken out of the graph information with the node.
  std::shared_ptr<const rclcpp_lite::NodeId> graph_node_;
  std::shared_ptr<rclcpp::detail::NodeRosout> rosout_;
  std::shared_ptr<rclcpp::node_interfaces::NodeParameters> parameters_;
  std::shared_ptr<rclcpp::ParameterService> parameter_service_;  // serves parameters_
  rclcpp::CallbackGroup::SharedPtr default_callback_group_;
  mutable std::mutex callback_groups_mutex_;
  std::vector<rclcpp::CallbackGroup::WeakPtr> callback_groups_;
  std::atomic_bool associated_with_executor_{false};
};

}  // namespace rclcpp

#include "rclcpp/node_impl.hpp"

#endif  // RCLCPP__NODE_HPP_
