#ifndef BOTTOM_INTERACT_CENTER_BOARD_FRAME_HPP_
#define BOTTOM_INTERACT_CENTER_BOARD_FRAME_HPP_

#include <cstddef>
#include <cstdint>
#include <vector>

#include <google/protobuf/message_lite.h>

namespace bottom_interact_center {

// The board links' frame: payload length as u16 little-endian, then the protobuf bytes.
class BoardFrame {
public:
  static constexpr std::size_t kHeaderSize = 2;
  // The largest payload the length field can state.
  static constexpr std::size_t kMaxPayloadSize = 0xFFFF;

  // Encodes into a zero-filled buffer of exactly ByteSizeLong()+2 bytes. False if the payload is
  // larger than kMaxPayloadSize or serialization fails.
  static bool Encode(const google::protobuf::MessageLite& message, std::vector<uint8_t>* frame);

  static uint16_t ReadLength(const uint8_t* header);
  // A datagram holds one frame, possibly followed by bytes that are ignored. False if it is
  // shorter than its header or its declared body, or the body does not parse.
  static bool ParseDatagram(google::protobuf::MessageLite* message, const uint8_t* data,
                            std::size_t len);
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER_BOARD_FRAME_HPP_
