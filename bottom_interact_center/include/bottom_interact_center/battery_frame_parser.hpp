// Cuts the battery unit's 34-byte frames out of what the tty reads return. I/O free.
#ifndef BOTTOM_INTERACT_CENTER__BATTERY_FRAME_PARSER_HPP_
#define BOTTOM_INTERACT_CENTER__BATTERY_FRAME_PARSER_HPP_

#include <cstddef>
#include <cstdint>

#include "bottom_interact_center/battery_record.hpp"

// Frame: 0xDD 0x03, body, checksum of bytes 2..30 at 31..32; multi-byte fields big-endian.
// Bytes 4-5 pack voltage in 10 mV, 6-7 current (signed), 12-13 cycle count, 23 remaining ratio.
// A read must start a frame: one whose first two bytes are not 0xDD 0x03 is dropped whole (a read
// of the start byte alone waits for the next), and bytes beyond the 34th of the read that
// completes a frame are dropped too.
class BatteryFrameParser {
public:
  static constexpr std::size_t kFrameSize = 34;
  static constexpr std::size_t kBufferSize = 64;

  enum class Result { kNeedMore, kDropped, kChecksumError, kRecord };

  // Where the next read goes, and how many bytes it may take.
  uint8_t* ReadPosition() { return buffer_ + filled_; }
  std::size_t ReadCapacity() const { return kBufferSize - filled_; }

  // Takes the n bytes a read put at ReadPosition(). kRecord fills *record (stamped now_ms);
  // kChecksumError gives the computed checksum in *checksum.
  Result Commit(std::size_t n, uint64_t now_ms, BatteryRecord* record, uint16_t* checksum);

  // The value that, added to the byte sum of bytes 2..30, gives 0 modulo 65536.
  static uint16_t Checksum(const uint8_t* frame);

private:
  Result Drop();
  static BatteryRecord Decode(const uint8_t* frame, uint64_t now_ms);

  uint8_t buffer_[kBufferSize] = {};
  std::size_t filled_ = 0;
};

#endif  // BOTTOM_INTERACT_CENTER__BATTERY_FRAME_PARSER_HPP_
