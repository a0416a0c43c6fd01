#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "bottom_interact_center/battery_frame_parser.hpp"
#include "support/battery_frames.hpp"

namespace {

using Result = BatteryFrameParser::Result;
using Bytes = std::vector<uint8_t>;
using bottom_interact_center::test::DischargingFrame;

constexpr uint64_t kNow = 1'700'000'000'123;

// What one read returning these bytes gives.
Result Read(BatteryFrameParser* parser, const Bytes& bytes, BatteryRecord* record = nullptr,
            uint16_t* checksum = nullptr) {
  BatteryRecord unused_record;
  uint16_t unused_checksum = 0;
  EXPECT_LE(bytes.size(), parser->ReadCapacity());
  std::memcpy(parser->ReadPosition(), bytes.data(), bytes.size());
  return parser->Commit(bytes.size(), kNow, record ? record : &unused_record,
                        checksum ? checksum : &unused_checksum);
}

TEST(BatteryFrameParser, DecodesTheFieldsScaledAndWithoutWrapping) {
  BatteryFrameParser parser;
  BatteryRecord record;
  ASSERT_EQ(Read(&parser, DischargingFrame(), &record), Result::kRecord);
  EXPECT_EQ(record.voltage, 52300u);  // mV
  EXPECT_EQ(record.current, -1000);
  EXPECT_FALSE(record.charging);
  EXPECT_EQ(record.charge_circle, 66660u);  // x 10 would wrap to 1124 in 16 bits
  EXPECT_EQ(record.remain_ratio, 85);
  EXPECT_EQ(record.stamp_ms, kNow);
  EXPECT_FALSE(record.valid);

  Bytes charging = DischargingFrame();
  charging[6] = 0x00;
  charging[7] = 0x64;  // +100: byte sum 0x015F, checksum 0xFEA1
  charging[31] = 0xFE;
  charging[32] = 0xA1;
  ASSERT_EQ(Read(&parser, charging, &record), Result::kRecord);
  EXPECT_EQ(record.current, 1000);
  EXPECT_TRUE(record.charging);
}

TEST(BatteryFrameParser, AChangedChecksumByteDropsTheFrameAndNamesTheComputedSum) {
  for (const std::size_t at : {31u, 32u}) {
    BatteryFrameParser parser;
    Bytes frame = DischargingFrame();
    frame[at] ^= 0x01;
    uint16_t checksum = 0;
    EXPECT_EQ(Read(&parser, frame, nullptr, &checksum), Result::kChecksumError) << at;
    EXPECT_EQ(checksum, 0xFD6A) << at;
    // The next good frame is taken again.
    EXPECT_EQ(Read(&parser, DischargingFrame()), Result::kRecord) << at;
  }
}

TEST(BatteryFrameParser, AFrameSplitAtAnyPointIsAssembled) {
  const Bytes frame = DischargingFrame();
  for (std::size_t split = 1; split < frame.size(); ++split) {
    BatteryFrameParser parser;
    EXPECT_EQ(Read(&parser, Bytes(frame.begin(), frame.begin() + split)), Result::kNeedMore)
        << split;
    BatteryRecord record;
    EXPECT_EQ(Read(&parser, Bytes(frame.begin() + split, frame.end()), &record), Result::kRecord)
        << split;
    EXPECT_EQ(record.charge_circle, 66660u) << split;
  }
}

TEST(BatteryFrameParser, AReadThatDoesNotStartAFrameIsDroppedWhole) {
  const Bytes frame = DischargingFrame();
  BatteryFrameParser parser;
  // The tail of a frame whose start was missed, then a frame behind stray bytes in one read.
  EXPECT_EQ(Read(&parser, Bytes(frame.begin() + 10, frame.end())), Result::kDropped);
  Bytes stray{0x00, 0xDD};
  stray.insert(stray.end(), frame.begin(), frame.end());
  EXPECT_EQ(Read(&parser, stray), Result::kDropped);
  EXPECT_EQ(Read(&parser, Bytes{0xDD, 0x04}), Result::kDropped);
  EXPECT_EQ(Read(&parser, Bytes{0x03}), Result::kDropped);
  // Bytes behind the 34th of a completing read are dropped with it: the next read starts anew.
  Bytes two = frame;
  two.insert(two.end(), frame.begin(), frame.begin() + 5);
  EXPECT_EQ(Read(&parser, two), Result::kRecord);
  EXPECT_EQ(Read(&parser, Bytes(frame.begin() + 5, frame.end())), Result::kDropped);
  EXPECT_EQ(Read(&parser, frame), Result::kRecord);
}

}  // namespace
