#include "rclcpp/node.hpp"

#include <algorithm>
#include <stdexcept>
#include <tuple>

#include "rcl/types.h"
#include "rclcpp/detail/names.hpp"
#include "rclcpp/detail/qos_parameters.hpp"
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

std::shared_ptr<const detail::RosArguments> parse_local_arguments(const NodeOptions& options) {
  auto arguments = std::make_shared<detail::RosArguments>(
      detail::RosArguments::parse(options.arguments(), "failed to parse arguments: "));
  if (!arguments->unknown_ros_args().empty()) {
    std::vector<std::string> unknown = arguments->unknown_ros_args();
    throw exceptions::UnknownROSArgsError(std::move(unknown));
  }
  return arguments;
}

/// The overrides for the node: global arguments, then the node's own, then
/// NodeOptions::parameter_overrides, each overwriting the one before.
std::map<std::string, ParameterValue> resolve_parameter_overrides(
    const std::string& node_fqn, const detail::RosArguments* global_arguments,
    const detail::RosArguments& local_arguments, const NodeOptions& options) {
  std::map<std::string, ParameterValue> overrides;
  for (const detail::RosArguments* source : {global_arguments, &local_arguments}) {
    if (source != nullptr) {
      for (auto& [name, value] : source->parameter_overrides().resolve(node_fqn)) {
        overrides[name] = value;
      }
    }
  }
  for (const Parameter& parameter : options.parameter_overrides()) {
    overrides[parameter.get_name()] = parameter.get_parameter_value();
  }
  return overrides;
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
    : options_(options),
      context_(valid_context(options)),
      local_arguments_(parse_local_arguments(options)),
      global_arguments_(options.use_global_arguments() ? context_->global_arguments() : nullptr),
      logger_(rclcpp::get_logger("")),
      clock_(std::make_shared<Clock>(RCL_ROS_TIME)),
      default_callback_group_(
          std::make_shared<CallbackGroup>(CallbackGroupType::MutuallyExclusive)) {
  detail::validate_node_name(node_name);
  detail::RuleSources sources{local_arguments_.get()};
  if (global_arguments_) {
    sources.push_back(global_arguments_.get());
  }
  std::tie(name_, namespace_) =
      detail::remap_node(node_name, detail::absolute_namespace(node_namespace), sources);
  detail::validate_node_name(name_);
  namespace_ = detail::absolute_namespace(namespace_);
  fully_qualified_name_ = detail::fully_qualified_name(namespace_, name_);
  logger_ = rclcpp::get_logger(detail::node_logger_name(namespace_, name_));
  callback_groups_.push_back(default_callback_group_);
  graph_node_ = enter_graph(context_, namespace_, name_);
  if (options.enable_rosout() && detail::Rosout::enabled()) {
    start_rosout();
  }
  start_parameters(options);
}

void Node::start_rosout() {
  rosout_ = std::make_shared<detail::NodeRosout>(
      create_publisher<rcl_interfaces::msg::Log>("/rosout", detail::Rosout::qos()));
  if (!detail::Rosout::attach(logger_.get_name(), rosout_)) {
    rosout_.reset();  // as in rcl, a second node of the same name has none
  }
}

void Node::start_parameters(const NodeOptions& options) {
  auto overrides = resolve_parameter_overrides(fully_qualified_name_, global_arguments_.get(),
                                               *local_arguments_, options);
  const std::string events_topic = resolve_name("/parameter_events", false);
  const QoS events_qos = detail::publisher_qos_with_overrides(
      events_topic, QoS(KeepLast(1000), rmw_qos_profile_parameter_events), overrides);
  std::shared_ptr<node_interfaces::NodeParameters::EventsPublisher> events_publisher;
  if (options.start_parameter_event_publisher()) {
    events_publisher =
        create_publisher<rcl_interfaces::msg::ParameterEvent>("/parameter_events", events_qos);
  }
  parameters_ = std::make_shared<node_interfaces::NodeParameters>(
      std::move(overrides), options.allow_undeclared_parameters(),
      options.automatically_declare_parameters_from_overrides(), std::move(events_publisher),
      clock_, fully_qualified_name_);
  if (options.start_parameter_services()) {
    parameter_service_ = std::make_shared<ParameterService>(*this, parameters_.get());
  }
  if (!parameters_->has_parameter("use_sim_time")) {
    parameters_->declare_parameter("use_sim_time", ParameterValue(false));
  }
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
  detail::RuleSources sources{local_arguments_.get()};
  if (global_arguments_) {
    sources.push_back(global_arguments_.get());
  }
  return detail::remap_name(detail::expand_name(name, name_, namespace_, is_service), name_,
                            namespace_, sources, is_service);
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
    const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor, bool ignore_override) {
  return parameters_->declare_parameter(name, default_value, parameter_descriptor, ignore_override);
}

const ParameterValue& Node::declare_parameter(
    const std::string& name, ParameterType type,
    const rcl_interfaces::msg::ParameterDescriptor& parameter_descriptor, bool ignore_override) {
  return parameters_->declare_parameter(name, type, parameter_descriptor, ignore_override);
}

bool Node::has_parameter(const std::string& name) const {
  return parameters_->has_parameter(name);
}

Parameter Node::get_parameter(const std::string& name) const {
  return parameters_->get_parameter(name);
}

bool Node::get_parameter(const std::string& name, Parameter& parameter) const {
  return parameters_->get_parameter(name, parameter);
}

std::vector<std::string> Node::get_node_names() const {
  std::vector<std::string> names;
  for (const auto& [node_namespace, node_name] : context_->participant()->node_names()) {
    names.push_back(detail::fully_qualified_name(node_namespace, node_name));
  }
  return names;
}

std::map<std::string, std::vector<std::string>> Node::get_topic_names_and_types() const {
  return context_->participant()->topic_names_and_types();
}

std::map<std::string, std::vector<std::string>> Node::get_service_names_and_types() const {
  return context_->participant()->service_names_and_types();
}

std::map<std::string, std::vector<std::string>> Node::get_service_names_and_types_by_node(
    const std::string& node_name, const std::string& namespace_) const {
  return context_->participant()->service_names_and_types_by_node(node_name, namespace_);
}

size_t Node::count_publishers(const std::string& topic_name) const {
  return context_->participant()->count_publishers(
      detail::expand_name(topic_name, name_, namespace_, false));
}

size_t Node::count_subscribers(const std::string& topic_name) const {
  return context_->participant()->count_subscribers(
      detail::expand_name(topic_name, name_, namespace_, false));
}

Clock::SharedPtr Node::get_clock() {
  return clock_;
}

Clock::ConstSharedPtr Node::get_clock() const {
  return clock_;
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
