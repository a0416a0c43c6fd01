#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bottom_interact_center/board_frame.hpp"
#include "robot/cleaning_component.pb.h"

namespace {

using bottom_interact_center::BoardFrame;

cleaning_component::VersionInfo VersionOfLength(std::size_t text_length) {
  cleaning_component::VersionInfo version;
  version.set_release_version(std::string(text_length, 'v'));
  return version;
}

TEST(BoardFrameEncode, HeaderIsPayloadLengthLowByteFirst) {
  const auto version = VersionOfLength(297);  // tag + 2-byte length + 297 = 300 bytes
  std::vector<uint8_t> frame;
  ASSERT_TRUE(BoardFrame::Encode(version, &frame));
  ASSERT_EQ(frame.size(), 302u);
  EXPECT_EQ(frame[0], 0x2C);
  EXPECT_EQ(frame[1], 0x01);
  EXPECT_EQ(std::string(frame.begin() + 2, frame.end()), version.SerializeAsString());
}

TEST(BoardFrameEncode, EmptyMessageIsABareHeader) {
  cleaning_component::CleaningComponentRequest request;
  std::vector<uint8_t> frame{9, 9, 9};
  ASSERT_TRUE(BoardFrame::Encode(request, &frame));
  EXPECT_EQ(frame, (std::vector<uint8_t>{0, 0}));
}

TEST(BoardFrameEncode, RefusesABodyTheLengthFieldCannotState) {
  const auto largest = VersionOfLength(65531);  // tag + 3-byte length + 65531 = 65535 bytes
  std::vector<uint8_t> frame;
  ASSERT_TRUE(BoardFrame::Encode(largest, &frame));
  ASSERT_EQ(frame.size(), 65537u);
  EXPECT_EQ(frame[0], 0xFF);
  EXPECT_EQ(frame[1], 0xFF);

  const auto one_more = VersionOfLength(65532);  // 65536 bytes: the length would wrap to 0
  EXPECT_FALSE(BoardFrame::Encode(one_more, &frame));
}

TEST(BoardFrameParseDatagram, TakesTheDeclaredBodyAndIgnoresTrailingBytes) {
  const auto version = VersionOfLength(20);
  std::vector<uint8_t> datagram;
  ASSERT_TRUE(BoardFrame::Encode(version, &datagram));
  datagram.push_back(0xFF);  // not a valid continuation of the body
  cleaning_component::VersionInfo parsed;
  ASSERT_TRUE(BoardFrame::ParseDatagram(&parsed, datagram.data(), datagram.size()));
  EXPECT_EQ(parsed.release_version(), version.release_version());
}

TEST(BoardFrameParseDatagram, RefusesShortAndTruncatedDatagrams) {
  std::vector<uint8_t> datagram;
  ASSERT_TRUE(BoardFrame::Encode(VersionOfLength(200), &datagram));
  cleaning_component::VersionInfo parsed;
  EXPECT_FALSE(BoardFrame::ParseDatagram(&parsed, datagram.data(), 1));
  EXPECT_FALSE(BoardFrame::ParseDatagram(&parsed, datagram.data(), datagram.size() - 1));
  // A length above 0x7FFF must not turn negative on the way to the parser.
  const uint8_t high_length[] = {0x00, 0x80, 0x0A, 0x00};
  EXPECT_FALSE(BoardFrame::ParseDatagram(&parsed, high_length, sizeof high_length));
  const uint8_t empty_body[] = {0x00, 0x00};
  EXPECT_TRUE(BoardFrame::ParseDatagram(&parsed, empty_body, sizeof empty_body));
}

}  // namespace
