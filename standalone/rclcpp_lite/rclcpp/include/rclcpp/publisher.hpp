// rclcpp::Publisher as in rclcpp/publisher.hpp (Humble).
#ifndef RCLCPP__PUBLISHER_HPP_
#define RCLCPP__PUBLISHER_HPP_

#include <memory>
#include <string>
#include <type_traits>

#include "rclcpp/publisher_base.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"

namespace rclcpp {

template <typename MessageT, typename AllocatorT = std::allocator<void>>
class Publisher : public PublisherBase {
public:
  using ROSMessageType = MessageT;
  using ROSMessageTypeDeleter = std::default_delete<ROSMessageType>;

  RCLCPP_SMART_PTR_DEFINITIONS(Publisher<MessageT, AllocatorT>)

  Publisher(const Context::SharedPtr& context, rclcpp_lite::NodeId node,
            const std::string& topic_name, const QoS& qos)
      : PublisherBase(
            context, node, topic_name,
            rosidl_typesupport_introspection_cpp::get_message_type_support_handle<MessageT>(),
            qos) {}

  /// Thread safe. Throws rclcpp::exceptions::RCLError if the middleware fails.
  template <typename T>
  std::enable_if_t<rosidl_generator_traits::is_message<T>::value &&
                   std::is_same<T, ROSMessageType>::value>
  publish(const T& msg) {
    publish_type_erased(&msg);
  }

  template <typename T>
  std::enable_if_t<rosidl_generator_traits::is_message<T>::value &&
                   std::is_same<T, ROSMessageType>::value>
  publish(std::unique_ptr<T, ROSMessageTypeDeleter> msg) {
    publish_type_erased(msg.get());
  }
};

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_HPP_
