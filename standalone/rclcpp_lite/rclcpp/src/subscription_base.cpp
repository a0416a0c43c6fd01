#include "rclcpp/subscription_base.hpp"

namespace rclcpp {

SubscriptionBase::SubscriptionBase(const Context::SharedPtr& context, rclcpp_lite::NodeId node,
                                   const std::string& topic_name,
                                   const rosidl_message_type_support_t* type_support,
                                   const QoS& qos)
    : ExecutableEntity(Kind::subscription),
      core_(rclcpp_lite::SubscriptionCore::create(context->participant(), node, topic_name,
                                                  type_support, qos.get_rmw_qos_profile(),
                                                  data_ready_callback())) {}

SubscriptionBase::~SubscriptionBase() = default;

size_t SubscriptionBase::get_publisher_count() const {
  return core_->matched_publishers();
}

bool SubscriptionBase::take_type_erased(void* message) {
  return core_->take(message);
}

}  // namespace rclcpp
