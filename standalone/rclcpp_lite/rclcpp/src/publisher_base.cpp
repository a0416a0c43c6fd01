#include "rclcpp/publisher_base.hpp"

#include "rcl/types.h"
#include "rclcpp/exceptions.hpp"

namespace rclcpp {

PublisherBase::PublisherBase(const Context::SharedPtr& context, rclcpp_lite::NodeId node,
                             const std::string& topic_name,
                             const rosidl_message_type_support_t* type_support, const QoS& qos)
    : context_(context),
      core_(rclcpp_lite::PublisherCore::create(context->participant(), node, topic_name,
                                               type_support, qos.get_rmw_qos_profile())) {}

PublisherBase::~PublisherBase() = default;

size_t PublisherBase::get_subscription_count() const {
  return core_->matched_subscriptions();
}

void PublisherBase::publish_type_erased(const void* message) {
  if (!context_->is_valid()) {
    return;
  }
  // A failure caused by a shutdown meanwhile is no error either.
  if (!core_->publish(message) && context_->is_valid()) {
    throw exceptions::RCLError(RCL_RET_ERROR, rclcpp_lite::kWriteFailedDetail,
                               "failed to publish message: ");
  }
}

}  // namespace rclcpp
