// The subscription callback forms rclcpp (Humble) accepts without MessageInfo:
//   void(const M&), void(std::unique_ptr<M>), void(std::shared_ptr<const M>),
//   void(const std::shared_ptr<const M>&) and the deprecated void(std::shared_ptr<M>).
#ifndef RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
#define RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_

#include <functional>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <variant>

#include "rclcpp/function_traits.hpp"

namespace rclcpp {

template <typename MessageT>
class AnySubscriptionCallback {
public:
  using ConstRefCallback = std::function<void(const MessageT&)>;
  using UniquePtrCallback = std::function<void(std::unique_ptr<MessageT>)>;
  using SharedConstPtrCallback = std::function<void(std::shared_ptr<const MessageT>)>;
  using SharedPtrCallback = std::function<void(std::shared_ptr<MessageT>)>;

  /// Chooses the form from the callback's first parameter type.
  template <typename CallbackT>
  AnySubscriptionCallback& set(CallbackT callback) {
    using Traits = function_traits::function_traits<std::decay_t<CallbackT>>;
    static_assert(Traits::arity == 1,
                  "subscription callbacks take one argument (MessageInfo forms are not supported)");
    using Argument = typename Traits::template argument_type<0>;
    using Decayed = std::remove_cv_t<std::remove_reference_t<Argument>>;
    if constexpr (std::is_same<Decayed, MessageT>::value) {
      static_assert(std::is_const<std::remove_reference_t<Argument>>::value &&
                        std::is_reference<Argument>::value,
                    "a message callback must take the message by const reference");
      callback_ = ConstRefCallback(std::move(callback));
    } else if constexpr (std::is_same<Decayed, std::unique_ptr<MessageT>>::value) {
      callback_ = UniquePtrCallback(std::move(callback));
    } else if constexpr (std::is_same<Decayed, std::shared_ptr<const MessageT>>::value) {
      callback_ = SharedConstPtrCallback(std::move(callback));
    } else if constexpr (std::is_same<Decayed, std::shared_ptr<MessageT>>::value) {
      callback_ = SharedPtrCallback(std::move(callback));
    } else {
      static_assert(!std::is_same<Decayed, Decayed>::value,
                    "unsupported subscription callback signature");
    }
    return *this;
  }

  void dispatch(std::unique_ptr<MessageT> message) const {
    std::visit(
        [&message](const auto& callback) {
          using CallbackType = std::decay_t<decltype(callback)>;
          if constexpr (std::is_same<CallbackType, std::monostate>::value) {
            throw std::runtime_error("subscription callback is not set");
          } else if constexpr (std::is_same<CallbackType, ConstRefCallback>::value) {
            callback(*message);
          } else {
            callback(std::move(message));
          }
        },
        callback_);
  }

private:
  std::variant<std::monostate, ConstRefCallback, UniquePtrCallback, SharedConstPtrCallback,
               SharedPtrCallback>
      callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
