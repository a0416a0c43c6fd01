// The battery unit's tty: each read lands at ReadPosition() and takes at most ReadCapacity()
// bytes, then Commit() judges what is buffered, as the sensor's reader thread does. Records and
// checksum errors are checked against the frame layout: 0xDD 0x03, big-endian fields, and at
// 31..32 the value that brings the byte sum of bytes 2..30 to 0 modulo 65536.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "bottom_interact_center/battery_frame_parser.hpp"
#include "chunked_input.hpp"
#include "fuzz_check.hpp"

namespace {

constexpr std::size_t kFrameSize = BatteryFrameParser::kFrameSize;
constexpr uint64_t kNowMs = 1700000000123;

uint16_t BigEndian16(const uint8_t* bytes) {
  return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

uint16_t ExpectedChecksum(const uint8_t* frame) {
  uint32_t sum = 0;
  for (std::size_t i = 2; i <= 30; ++i) {
    sum += frame[i];
  }
  return static_cast<uint16_t>((0x10000 - (sum & 0xFFFF)) & 0xFFFF);
}

void CheckRecord(const BatteryRecord& record, const uint8_t* frame) {
  const int16_t current = static_cast<int16_t>(BigEndian16(frame + 6));
  FUZZ_CHECK(record.voltage == BigEndian16(frame + 4) * 10u);
  FUZZ_CHECK(record.current == current * 10);
  FUZZ_CHECK(record.charge_circle == BigEndian16(frame + 12) * 10u);
  FUZZ_CHECK(record.remain_ratio == frame[23]);
  FUZZ_CHECK(record.charging == (current > 0));
  FUZZ_CHECK(record.stamp_ms == kNowMs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  BatteryFrameParser parser;
  fuzz::ChunkedInput input(data, size);
  std::vector<uint8_t> frame;  // the bytes of the frame being read, by the layout alone
  while (!input.empty()) {
    const std::size_t capacity = parser.ReadCapacity();
    FUZZ_CHECK(capacity > 0 && capacity <= BatteryFrameParser::kBufferSize);
    FUZZ_CHECK(capacity + frame.size() == BatteryFrameParser::kBufferSize);

    const uint8_t* chunk = nullptr;
    const std::size_t n = input.Next(capacity, &chunk);
    std::memcpy(parser.ReadPosition(), chunk, n);
    frame.insert(frame.end(), chunk, chunk + n);

    BatteryRecord record;
    uint16_t checksum = 0;
    switch (parser.Commit(n, kNowMs, &record, &checksum)) {
      case BatteryFrameParser::Result::kNeedMore:
        FUZZ_CHECK(frame.size() < kFrameSize);
        FUZZ_CHECK(frame[0] == 0xDD && (frame.size() < 2 || frame[1] == 0x03));
        break;
      case BatteryFrameParser::Result::kDropped:
        FUZZ_CHECK(frame[0] != 0xDD || (frame.size() >= 2 && frame[1] != 0x03));
        frame.clear();
        break;
      case BatteryFrameParser::Result::kChecksumError:
        FUZZ_CHECK(frame.size() >= kFrameSize && frame[0] == 0xDD && frame[1] == 0x03);
        FUZZ_CHECK(checksum == ExpectedChecksum(frame.data()));
        FUZZ_CHECK(BigEndian16(frame.data() + 31) != checksum);
        frame.clear();
        break;
      case BatteryFrameParser::Result::kRecord:
        FUZZ_CHECK(frame.size() >= kFrameSize && frame[0] == 0xDD && frame[1] == 0x03);
        FUZZ_CHECK(BigEndian16(frame.data() + 31) == ExpectedChecksum(frame.data()));
        CheckRecord(record, frame.data());
        frame.clear();  // bytes beyond the frame's 34th went with it
        break;
    }
  }
  return 0;
}
