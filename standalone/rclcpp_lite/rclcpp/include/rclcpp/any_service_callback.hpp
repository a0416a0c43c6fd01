// The service callback forms of rclcpp (Humble) that answer on return:
//   void(std::shared_ptr<Request>, std::shared_ptr<Response>)
//   void(std::shared_ptr<rmw_request_id_t>, std::shared_ptr<Request>, std::shared_ptr<Response>)
#ifndef RCLCPP__ANY_SERVICE_CALLBACK_HPP_
#define RCLCPP__ANY_SERVICE_CALLBACK_HPP_

#include <functional>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "rmw/types.h"

namespace rclcpp {

template <typename ServiceT>
class AnyServiceCallback {
public:
  using SharedRequest = std::shared_ptr<typename ServiceT::Request>;
  using SharedResponse = std::shared_ptr<typename ServiceT::Response>;
  using SharedHeader = std::shared_ptr<rmw_request_id_t>;
  using CallbackType = std::function<void(SharedRequest, SharedResponse)>;
  using CallbackWithHeaderType = std::function<void(SharedHeader, SharedRequest, SharedResponse)>;

  /// Throws std::invalid_argument for a null callback.
  template <typename CallbackT>
  void set(CallbackT&& callback) {
    if constexpr (std::is_invocable<CallbackT&, SharedRequest, SharedResponse>::value) {
      CallbackType plain(std::forward<CallbackT>(callback));
      reject_null(static_cast<bool>(plain));
      callback_ = [plain = std::move(plain)](const SharedHeader&, SharedRequest request,
                                             SharedResponse response) {
        plain(std::move(request), std::move(response));
      };
    } else if constexpr (std::is_invocable<CallbackT&, SharedHeader, SharedRequest,
                                           SharedResponse>::value) {
      CallbackWithHeaderType with_header(std::forward<CallbackT>(callback));
      reject_null(static_cast<bool>(with_header));
      callback_ = std::move(with_header);
    } else {
      static_assert(!std::is_same<CallbackT, CallbackT>::value,
                    "service callbacks take (request, response) or (header, request, response)");
    }
  }

  void dispatch(const SharedHeader& header, SharedRequest request, SharedResponse response) const {
    callback_(header, std::move(request), std::move(response));
  }

private:
  static void reject_null(bool set) {
    if (!set) {
      throw std::invalid_argument("AnyServiceCallback::set(): callback cannot be nullptr");
    }
  }

  std::function<void(const SharedHeader&, SharedRequest, SharedResponse)> callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__ANY_SERVICE_CALLBACK_HPP_
