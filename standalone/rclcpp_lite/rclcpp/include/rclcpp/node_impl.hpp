// The member templates of rclcpp::Node.
#ifndef RCLCPP__NODE_IMPL_HPP_
#define RCLCPP__NODE_IMPL_HPP_

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "rclcpp/any_service_callback.hpp"
#include "rclcpp/any_subscription_callback.hpp"
#include "rclcpp/exceptions.hpp"

#ifndef RCLCPP__NODE_HPP_
#include "rclcpp/node.hpp"
#endif

namespace rclcpp {

template <typename MessageT, typename AllocatorT, typename PublisherT>
std::shared_ptr<PublisherT> Node::create_publisher(const std::string& topic_name,
                                                   const rclcpp::QoS& qos) {
  return std::make_shared<PublisherT>(context_, graph_node(), resolve_name(topic_name, false), qos);
}

template <typename MessageT, typename CallbackT, typename SubscriptionT>
std::shared_ptr<SubscriptionT> Node::create_subscription(const std::string& topic_name,
                                                         const rclcpp::QoS& qos,
                                                         CallbackT&& callback) {
  AnySubscriptionCallback<MessageT> any_callback;
  any_callback.set(std::forward<CallbackT>(callback));
  auto subscription = std::make_shared<SubscriptionT>(
      context_, graph_node(), resolve_name(topic_name, false), qos, std::move(any_callback));
  add_to_group(nullptr, subscription, "subscription");
  return subscription;
}

template <typename ServiceT>
typename rclcpp::Client<ServiceT>::SharedPtr Node::create_client(
    const std::string& service_name, const rmw_qos_profile_t& qos_profile,
    rclcpp::CallbackGroup::SharedPtr group) {
  auto client = std::make_shared<rclcpp::Client<ServiceT>>(
      context_, graph_node(), resolve_name(service_name, true), qos_profile);
  add_to_group(group, client, "client");
  return client;
}

template <typename ServiceT, typename CallbackT>
typename rclcpp::Service<ServiceT>::SharedPtr Node::create_service(
    const std::string& service_name, CallbackT&& callback, const rmw_qos_profile_t& qos_profile,
    rclcpp::CallbackGroup::SharedPtr group) {
  AnyServiceCallback<ServiceT> any_callback;
  any_callback.set(std::forward<CallbackT>(callback));
  auto service = std::make_shared<rclcpp::Service<ServiceT>>(
      context_, graph_node(), resolve_name(service_name, true), std::move(any_callback),
      qos_profile, logger_.get_name());
  add_to_group(group, service, "service");
  return service;
}

template <typename DurationRepT, typename DurationT, typename CallbackT>
typename rclcpp::WallTimer<CallbackT>::SharedPtr Node::create_wall_timer(
    std::chrono::duration<DurationRepT, DurationT> period, CallbackT callback,
    rclcpp::CallbackGroup::SharedPtr group) {
  if (period < std::chrono::duration<DurationRepT, DurationT>::zero()) {
    throw std::invalid_argument{"timer period cannot be negative"};
  }
  // As rclcpp: a period nanoseconds cannot hold would overflow the cast below.
  constexpr auto ns_max_as_double =
      std::chrono::duration_cast<std::chrono::duration<double, std::nano>>(
          std::chrono::nanoseconds::max() - std::chrono::duration<DurationRepT, DurationT>(1));
  if (period > ns_max_as_double) {
    throw std::invalid_argument{"timer period must be less than std::chrono::nanoseconds::max()"};
  }
  auto timer = std::make_shared<rclcpp::WallTimer<CallbackT>>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(period), std::move(callback));
  add_to_group(group, timer, "timer");
  return timer;
}

template <typename ParameterT>
bool Node::get_parameter(const std::string& name, ParameterT& parameter) const {
  rclcpp::Parameter parameter_variant;
  const bool found = get_parameter(name, parameter_variant);
  if (found) {
    parameter = static_cast<ParameterT>(parameter_variant.get_value<ParameterT>());
  }
  return found;
}

}  // namespace rclcpp

#endif  // RCLCPP__NODE_IMPL_HPP_
