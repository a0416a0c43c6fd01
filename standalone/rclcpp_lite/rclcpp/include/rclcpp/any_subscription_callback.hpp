// The subscription callback forms rclcpp (Humble) accepts without MessageInfo:
//   void(const M&), void(std::unique_ptr<M>), void(std::shared_ptr<const M>),
//   void(const std::shared_ptr<const M>&) and the deprecated void(std::shared_ptr<M>).
#ifndef RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
#define RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace rclcpp {

template <typename MessageT>
class AnySubscriptionCallback {
public:
  /// A callback that takes the message by reference gets it so; every other form takes the
  /// taken message's ownership (a std::unique_ptr converts to each of the shared pointers).
  template <typename CallbackT>
  AnySubscriptionCallback& set(CallbackT callback) {
    if constexpr (std::is_invocable<CallbackT&, const MessageT&>::value) {
      callback_ = [callback = std::move(callback)](std::unique_ptr<MessageT> message) mutable {
        callback(*message);
      };
    } else {
      static_assert(std::is_invocable<CallbackT&, std::unique_ptr<MessageT>>::value,
                    "unsupported subscription callback signature");
      callback_ = std::move(callback);
    }
    return *this;
  }

  void dispatch(std::unique_ptr<MessageT> message) const { callback_(std::move(message)); }

private:
  std::function<void(std::unique_ptr<MessageT>)> callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
