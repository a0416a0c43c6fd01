// The type-independent part of rclcpp::Publisher.
#ifndef RCLCPP__PUBLISHER_BASE_HPP_
#define RCLCPP__PUBLISHER_BASE_HPP_

#include <memory>
#include <string>

#include "rclcpp/context.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp_lite/middleware.hpp"

namespace rclcpp {

class PublisherBase {
public:
  RCLCPP_SMART_PTR_DEFINITIONS(PublisherBase)

  /// `topic_name` is fully qualified; the writer is announced as `node`'s. Throws
  /// std::runtime_error if the DDS writer cannot be made.
  PublisherBase(const Context::SharedPtr& context, rclcpp_lite::NodeId node,
                const std::string& topic_name, const rosidl_message_type_support_t* type_support,
                const QoS& qos);
  virtual ~PublisherBase();

  size_t get_subscription_count() const;

protected:
  /// Does nothing once the context is shut down; throws rclcpp::exceptions::RCLError
  /// "failed to publish message" when the middleware fails.
  void publish_type_erased(const void* message);

private:
  RCLCPP_DISABLE_COPY(PublisherBase)

  const Context::SharedPtr context_;
  const std::unique_ptr<rclcpp_lite::PublisherCore> core_;
};

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_BASE_HPP_
