#include "bottom_interact_center/board_frame.hpp"

namespace bottom_interact_center {

bool BoardFrame::Encode(const google::protobuf::MessageLite& message, std::vector<uint8_t>* frame) {
  const std::size_t payload_size = message.ByteSizeLong();
  // A larger body would be framed with a wrapped length, and the board would cut it short.
  if (payload_size > kMaxPayloadSize) {
    return false;
  }
  frame->assign(payload_size + kHeaderSize, 0);
  (*frame)[0] = static_cast<uint8_t>(payload_size & 0xFF);
  (*frame)[1] = static_cast<uint8_t>((payload_size >> 8) & 0xFF);
  return message.SerializeToArray(frame->data() + kHeaderSize, static_cast<int>(payload_size));
}

uint16_t BoardFrame::ReadLength(const uint8_t* header) {
  return static_cast<uint16_t>(header[0] | (header[1] << 8));
}

bool BoardFrame::ParseDatagram(google::protobuf::MessageLite* message, const uint8_t* data,
                               std::size_t len) {
  if (len < kHeaderSize) {
    return false;
  }
  const std::size_t body_len = ReadLength(data);
  return body_len <= len - kHeaderSize &&
         message->ParseFromArray(data + kHeaderSize, static_cast<int>(body_len));
}

}  // namespace bottom_interact_center
