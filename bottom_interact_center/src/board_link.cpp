#include "bottom_interact_center/board_link.hpp"

#include <ctime>
#include <utility>

#include "bottom_interact_center/bottom_interact_center.hpp"

namespace bottom_interact_center {

BoardLink::BoardLink(std::mutex& mutex, std::shared_ptr<TcpClient> client, Answers answers,
                     const char* name)
    : mutex_(mutex), client_(std::move(client)) {
  if (answers == Answers::kDrained) {
    drain_.emplace(mutex_, client_, g_node->get_logger(), name);
  }
}

int32_t BoardLink::NewRequestId() {
  const auto now = static_cast<int32_t>(time(nullptr));
  last_request_id_ = now > last_request_id_
                         ? now
                         : static_cast<int32_t>(static_cast<uint32_t>(last_request_id_) + 1u);
  return last_request_id_;
}

}  // namespace bottom_interact_center
