// rclcpp::Subscription as in rclcpp/subscription.hpp (Humble).
#ifndef RCLCPP__SUBSCRIPTION_HPP_
#define RCLCPP__SUBSCRIPTION_HPP_

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "rclcpp/any_subscription_callback.hpp"
#include "rclcpp/subscription_base.hpp"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"

namespace rclcpp {

/// The allocator rclcpp takes as a second argument is not: messages come from operator new.
template <typename MessageT>
class Subscription : public SubscriptionBase {
public:
  using ROSMessageType = MessageT;

  RCLCPP_SMART_PTR_DEFINITIONS(Subscription)

  Subscription(const Context::SharedPtr& context, rclcpp_lite::NodeId node,
               const std::string& topic_name, const QoS& qos,
               AnySubscriptionCallback<MessageT> callback)
      : SubscriptionBase(
            context, node, topic_name,
            rosidl_typesupport_introspection_cpp::get_message_type_support_handle<MessageT>(), qos),
        callback_(std::move(callback)) {}

  std::function<void()> take_work() override {
    auto message = std::make_shared<std::unique_ptr<MessageT>>(std::make_unique<MessageT>());
    if (!take_type_erased(message->get())) {
      return {};
    }
    return [this, message] { callback_.dispatch(std::move(*message)); };
  }

private:
  const AnySubscriptionCallback<MessageT> callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_HPP_
