// The type-independent part of rclcpp::Subscription.
#ifndef RCLCPP__SUBSCRIPTION_BASE_HPP_
#define RCLCPP__SUBSCRIPTION_BASE_HPP_

#include <memory>
#include <string>

#include "rclcpp/context.hpp"
#include "rclcpp/detail/executable_entity.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp_lite/middleware.hpp"

namespace rclcpp {

class SubscriptionBase : public detail::ExecutableEntity {
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(SubscriptionBase)

  /// `topic_name` is fully qualified; the reader is announced as `node`'s. Throws
  /// std::runtime_error if the DDS reader cannot be made.
  SubscriptionBase(const Context::SharedPtr& context, rclcpp_lite::NodeId node,
                   const std::string& topic_name, const rosidl_message_type_support_t* type_support,
                   const QoS& qos);
  ~SubscriptionBase() override;

  size_t get_publisher_count() const;

protected:
  /// Takes the next message into `message`, an object of the subscription's message type.
  bool take_type_erased(void* message);

private:
  const std::unique_ptr<rclcpp_lite::SubscriptionCore> core_;
};

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_BASE_HPP_
