#include "bottom_interact_center/framed_datagram.hpp"

#include "bottom_interact_center/board_frame.hpp"
#include "bottom_interact_center/bottom_interact_center.hpp"

namespace bottom_interact_center {
namespace {

constexpr int kDeserializeFailed = 100400013;
constexpr int kDataNull = 100400019;
constexpr int kDataTooSmall = 100400020;

}  // namespace

bool ParseFramedDatagram(google::protobuf::MessageLite& message, const char* data, int len,
                         const char* deserialize_error) {
  if (data == nullptr) {
    RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, data is null", kDataNull);
    return false;
  }
  if (len <= 1) {
    RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, Parse data efailed, data too small",
                 kDataTooSmall);
    return false;
  }
  if (!BoardFrame::ParseDatagram(&message, reinterpret_cast<const uint8_t*>(data),
                                 static_cast<std::size_t>(len))) {
    RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, %s", kDeserializeFailed, deserialize_error);
    return false;
  }
  return true;
}

}  // namespace bottom_interact_center
