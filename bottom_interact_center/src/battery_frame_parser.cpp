#include "bottom_interact_center/battery_frame_parser.hpp"

namespace {

constexpr uint8_t kStartByte = 0xDD;
constexpr uint8_t kCommandByte = 0x03;
constexpr std::size_t kChecksummedFirst = 2;
constexpr std::size_t kChecksummedLast = 30;
constexpr std::size_t kChecksumAt = 31;
constexpr std::size_t kVoltageAt = 4;
constexpr std::size_t kCurrentAt = 6;
constexpr std::size_t kCyclesAt = 12;
constexpr std::size_t kRemainRatioAt = 23;
constexpr uint32_t kVoltageUnitMillivolts = 10;
constexpr int32_t kReportedScale = 10;

uint16_t BigEndian16(const uint8_t* bytes) {
  return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

}  // namespace

BatteryFrameParser::Result BatteryFrameParser::Commit(std::size_t n, uint64_t now_ms,
                                                      BatteryRecord* record, uint16_t* checksum) {
  filled_ += n;
  if (filled_ < 2) {
    return filled_ == 0 || buffer_[0] == kStartByte ? Result::kNeedMore : Drop();
  }
  if (buffer_[0] != kStartByte || buffer_[1] != kCommandByte) {
    return Drop();
  }
  if (filled_ < kFrameSize) {
    return Result::kNeedMore;
  }
  filled_ = 0;
  const uint16_t expected = Checksum(buffer_);
  if (BigEndian16(buffer_ + kChecksumAt) != expected) {
    *checksum = expected;
    return Result::kChecksumError;
  }
  *record = Decode(buffer_, now_ms);
  return Result::kRecord;
}

BatteryFrameParser::Result BatteryFrameParser::Drop() {
  filled_ = 0;
  return Result::kDropped;
}

uint16_t BatteryFrameParser::Checksum(const uint8_t* frame) {
  uint16_t sum = 0;
  for (std::size_t i = kChecksummedFirst; i <= kChecksummedLast; ++i) {
    sum = static_cast<uint16_t>(sum + frame[i]);
  }
  return static_cast<uint16_t>(0x10000 - sum);
}

BatteryRecord BatteryFrameParser::Decode(const uint8_t* frame, uint64_t now_ms) {
  BatteryRecord record;
  record.voltage = BigEndian16(frame + kVoltageAt) * kVoltageUnitMillivolts;
  record.current = static_cast<int16_t>(BigEndian16(frame + kCurrentAt)) * kReportedScale;
  record.charge_circle = static_cast<uint32_t>(BigEndian16(frame + kCyclesAt)) * kReportedScale;
  record.remain_ratio = frame[kRemainRatioAt];
  record.charging = record.current > 0;
  record.stamp_ms = now_ms;
  return record;
}
