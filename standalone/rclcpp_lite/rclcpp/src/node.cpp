#include "rclcpp/node.hpp"

#include <algorithm>
#include <stdexcept>
#include <tuple>

#include "qos_parameters.hpp"
#include "rcl/types.h"
#include "rclcpp/detail/names.hpp"
#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/detail/rosout.hpp"
#include "rclcpp/detail/wake_signal.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/node_interfaces/node_parameters.hpp"
#include "rclcpp/parameter_service.hpp"
#include "rclcpp_lite/middleware.hpp"

namespace rclcpp {

namespace {

const char kNodeInitErrorPrefix[] = "failed to initialize rcl node: ";

Context::SharedPtr valid_context(const NodeOptions& options) {
  const Context::SharedPtr context = options.context();
  if (!context || !context->is_valid()) {
    throw exceptions::RCLError(RCL_RET_NOT_INIT,
                               "the given context is not valid, either rcl_init() was not called "
                               "or rcl_shutdown() was called.",
                               kNodeInitErrorPrefix);
  }
  return context;
}

/// Enters the node into the participant's graph information until the result is released.
std::shared_ptr<const rclcpp_lite::NodeId> enter_graph(const Context::SharedPtr& context,
                                                       const std::string& node_namespace,
                                                       const std::string& node_name) {
  const std::shared_ptr<rclcpp_lite::Participant> participant = context->participant();
  return std::shared_ptr<const rclcpp_lite::NodeId>(
      new rclcpp_lite::NodeId(participant->add_node(node_namespace, node_name)),
      [participant](const rclcpp_lite::NodeId* node) {
        participant->remove_node(*node);
        delete node;
      });
}

}  // namespace

Node::Node(const std::string& node_name, const NodeOptions& options)
    : Node(node_name, "", options) {}

Node::Node(const std::string& node_name, const std::string& node_namespace,
           const NodeOptions& options)
    : context_(valid_context(options)),
      arguments_(context_->global_arguments()),
      logger_(rclcpp::get_logger("")),
      clock_(std::make_shared<Clock>(RCL_ROS_TIME)),
      default_callback_group_(
          std::make_shared<CallbackGroup>(CallbackGroupType::MutuallyExclusive)) {
  detail::validate_node_name(node_name);
  std::tie(name_, namespace_) =
      detail::remap_node(node_name, detail::absolute_namespace(node_namespace), *arguments_);
  detail::validate_node_name(name_);
  namespace_ = detail::absolute_namespace(namespace_);
  fully_qualified_name_ = detail::fully_qualified_name(namespace_, name_);
  logger_ = rclcpp::get_logger(detail::node_logger_name(namespace_, name_));
  callback_groups_.push_back(default_callback_group_);
  graph_node_ = enter_graph(context_, namespace_, name_);
  if (detail::Rosout::enabled()) {
    start_rosout();
  }
  start_parameters();
}

void Node::start_rosout() {
  // rcl's /rosout QoS: keep last 1000, reliable, transient local, lifespan 10 s.
  QoS qos(KeepLast(1000));
  qos.reliable().transient_local();
  qos.get_rmw_qos_profile().lifespan = {10, 0};
  rosout_ = std::make_shared<detail::NodeRosout>(
      [publisher = create_publisher<rcl_interfaces::msg::Log>("/rosout", qos)](
          const rcl_interfaces::msg::Log& line) { publisher->publish(line); });
  if (!detail::Rosout::attach(logger_.get_name(), rosout_)) {
    rosout_.reset();  // as in rcl, a second node of the same name has none
  }
}

void Node::start_parameters() {
  auto overrides = arguments_->parameter_overrides().resolve(fully_qualified_name_);
  const std::string events_topic = resolve_name("/parameter_events", false);
  const QoS events_qos = detail::publisher_qos_with_overrides(
      events_topic, QoS(KeepLast(1000), rmw_qos_profile_parameter_events), overrides);
  parameters_ = std::make_shared<node_interfaces::NodeParameters>(
      std::move(overrides),
      create_publisher<rcl_interfaces::msg::ParameterEvent>("/parameter_events", events_qos),
      clock_, fully_qualified_name_);
  parameter_service_ = std::make_shared<ParameterService>(*this, parameters_.get());
  parameters_->declare_parameter("use_sim_time", ParameterValue(false));
  detail::declare_publisher_qos_parameters(*parameters_, events_topic, events_qos);
}

Node::~Node() = default;

CallbackGroup::SharedPtr Node::create_callback_group(CallbackGroupType group_type,
                                                     bool automatically_add_to_executor_with_node) {
  auto group = std::make_shared<CallbackGroup>(group_type, automatically_add_to_executor_with_node);
  std::lock_guard<std::mutex> lock(callback_groups_mutex_);
  callback_groups_.push_back(group);
  return group;
}

std::vector<CallbackGroup::SharedPtr> Node::callback_groups() const {
  std::lock_guard<std::mutex> lock(callback_groups_mutex_);
  std::vector<CallbackGroup::SharedPtr> groups;
  for (const auto& weak : callback_groups_) {
    if (auto group = weak.lock()) {
      groups.push_back(std::move(group));
    }
  }
  return groups;
}

std::string Node::resolve_name(const std::string& name, bool is_service) const {
  return detail::remap_name(detail::expand_name(name, name_, namespace_, is_service), name_,
                            namespace_, *arguments_, is_service);
}

bool Node::callback_group_in_node(CallbackGroup::SharedPtr group) {
  const auto groups = callback_groups();
  return std::find(groups.begin(), groups.end(), group) != groups.end();
}

void Node::add_to_group(const CallbackGroup::SharedPtr& group,
                        const std::shared_ptr<detail::ExecutableEntity>& entity, const char* kind) {
  if (group && !callback_group_in_node(group)) {
    throw std::runtime_error(std::string("Cannot create ") + kind + ", group not in node.");
  }
  (group ? group : default_callback_group_)->add_entity(entity);
  detail::executor_wake_signal()->notify();
}

const ParameterValue& Node::declare_parameter(
    const std::string& name, const ParameterValue& default_value,
    const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor) {
  return parameters_->declare_parameter(name, default_value, parameter_descriptor);
}

bool Node::get_parameter(const std::string& name, Parameter& parameter) const {
  return parameters_->get_parameter(name, parameter);
}

size_t Node::count_subscribers(const std::string& topic_name) const {
  return context_->participant()->count_subscribers(
      detail::expand_name(topic_name, name_, namespace_, false));
}

Time Node::now() const {
  return clock_->now();
}

node_interfaces::NodeParametersInterface::SharedPtr Node::get_node_parameters_interface() {
  return parameters_;
}

node_interfaces::NodeBaseInterface::SharedPtr Node::get_node_base_interface() {
  return shared_from_this();
}

}  // namespace rclcpp
