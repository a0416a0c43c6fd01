// Helpers of the fuzz targets that read board protobuf messages.
#ifndef FUZZ__BOARD_ROUND_TRIP_HPP_
#define FUZZ__BOARD_ROUND_TRIP_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include <google/protobuf/stubs/logging.h>

#include "bottom_interact_center/board_frame.hpp"
#include "fuzz_check.hpp"

namespace fuzz {

// The protobuf runtime logs every malformed string field to stderr; a fuzzer meets thousands.
inline void SilenceProtobufLog() {
  google::protobuf::SetLogHandler(
      [](google::protobuf::LogLevel, const char*, int, const std::string&) {});
}

// A message read from the board goes out again as a frame (the node forwards and logs what it
// read): encoding must succeed exactly when the payload fits the 16-bit length, and the frame must
// read back into a message that encodes to the same bytes. A message read from a frame can still
// encode larger: negative int32 fields written in 5 bytes grow to 10.
template <typename Message>
void CheckFrameRoundTrip(const Message& message) {
  using bottom_interact_center::BoardFrame;
  const std::size_t payload_size = message.ByteSizeLong();
  std::vector<uint8_t> frame;
  const bool encoded = BoardFrame::Encode(message, &frame);
  FUZZ_CHECK(encoded == (payload_size <= BoardFrame::kMaxPayloadSize));
  if (!encoded) {
    return;
  }
  FUZZ_CHECK(frame.size() == payload_size + BoardFrame::kHeaderSize);
  FUZZ_CHECK(BoardFrame::ReadLength(frame.data()) == payload_size);
  Message again;
  FUZZ_CHECK(BoardFrame::ParseDatagram(&again, frame.data(), frame.size()));
  std::vector<uint8_t> frame_again;
  FUZZ_CHECK(BoardFrame::Encode(again, &frame_again));
  FUZZ_CHECK(frame_again == frame);
}

}  // namespace fuzz

#endif  // FUZZ__BOARD_ROUND_TRIP_HPP_
