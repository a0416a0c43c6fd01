#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "bottom_interact_center/board_frame.hpp"
#include "bottom_interact_center/report_buffer.hpp"

namespace {

using bottom_interact_center::BoardFrame;
using bottom_interact_center::ReportBuffer;
using Result = ReportBuffer::Result;

std::vector<uint8_t> ReportFrame(uint64_t event_id) {
  cleaning_component::CleanRobotReport report;
  report.mutable_diag_event()->set_event_id(event_id);
  report.mutable_diag_event()->set_event_status(1);
  std::vector<uint8_t> frame;
  EXPECT_TRUE(BoardFrame::Encode(report, &frame));
  return frame;
}

void Append(ReportBuffer& buffer, const std::vector<uint8_t>& bytes) {
  buffer.Append(bytes.data(), static_cast<int>(bytes.size()));
}

TEST(ReportBuffer, AFrameSplitAnywhereIsTakenOnceWhole) {
  const auto frame = ReportFrame(4294967301u);
  for (std::size_t split = 0; split < frame.size(); ++split) {
    ReportBuffer buffer;
    cleaning_component::CleanRobotReport report;
    buffer.Append(frame.data(), static_cast<int>(split));
    ASSERT_EQ(buffer.TakeReport(&report), Result::kNone) << "split " << split;
    buffer.Append(frame.data() + split, static_cast<int>(frame.size() - split));
    ASSERT_EQ(buffer.TakeReport(&report), Result::kReport) << "split " << split;
    EXPECT_EQ(report.diag_event().event_id(), 4294967301u);
    EXPECT_EQ(buffer.FreeSpace(), ReportBuffer::kSize);
  }
}

TEST(ReportBuffer, CoalescedFramesComeOutInOrderOnePerCall) {
  ReportBuffer buffer;
  Append(buffer, {0x00, 0x00});  // an empty report is a report
  for (uint64_t id = 1; id <= 3; ++id) {
    Append(buffer, ReportFrame(id));
  }
  cleaning_component::CleanRobotReport report;
  ASSERT_EQ(buffer.TakeReport(&report), Result::kReport);
  EXPECT_FALSE(report.has_diag_event());
  for (uint64_t id = 1; id <= 3; ++id) {
    ASSERT_EQ(buffer.TakeReport(&report), Result::kReport);
    EXPECT_EQ(report.diag_event().event_id(), id);
  }
  EXPECT_EQ(buffer.TakeReport(&report), Result::kNone);
}

TEST(ReportBuffer, AFrameFillingTheWholeBufferFitsAndOneByteMoreNever) {
  cleaning_component::CleanRobotReport report;
  ReportBuffer fits;
  const int body = ReportBuffer::kSize - 2;
  Append(fits, {static_cast<uint8_t>(body & 0xFF), static_cast<uint8_t>(body >> 8)});
  EXPECT_EQ(fits.TakeReport(&report), Result::kNone);
  ReportBuffer never;
  Append(never, {static_cast<uint8_t>((body + 1) & 0xFF), static_cast<uint8_t>((body + 1) >> 8)});
  EXPECT_EQ(never.TakeReport(&report), Result::kNeverFits);
  EXPECT_EQ(never.FreeSpace(), ReportBuffer::kSize - 2) << "the caller decides what to drop";
}

TEST(ReportBuffer, ABadBodyStaysBufferedUntilCleared) {
  ReportBuffer buffer;
  Append(buffer, {0x02, 0x00, 0xFF, 0xFF});
  cleaning_component::CleanRobotReport report;
  EXPECT_EQ(buffer.TakeReport(&report), Result::kBadReport);
  EXPECT_EQ(buffer.TakeReport(&report), Result::kBadReport);
  buffer.Clear();
  EXPECT_EQ(buffer.TakeReport(&report), Result::kNone);
  EXPECT_EQ(buffer.FreeSpace(), ReportBuffer::kSize);
}

// What a connection that ended leaves: its leading whole reports, in order, and nothing after the
// first frame that is unfinished or does not parse, so the next connection starts on a boundary.
TEST(ReportBuffer, AnEndedConnectionLeavesOnlyItsLeadingWholeReports) {
  auto unfinished = ReportFrame(3);
  unfinished.pop_back();
  auto bad_then_whole = std::vector<uint8_t>{0x02, 0x00, 0xFF, 0xFF};
  const auto whole = ReportFrame(9);
  bad_then_whole.insert(bad_then_whole.end(), whole.begin(), whole.end());
  for (const auto& tail : {unfinished, bad_then_whole}) {
    ReportBuffer buffer;
    Append(buffer, ReportFrame(1));
    Append(buffer, ReportFrame(2));
    Append(buffer, tail);
    buffer.KeepWholeReports();
    Append(buffer, ReportFrame(4));
    cleaning_component::CleanRobotReport report;
    for (const uint64_t id : {1, 2, 4}) {
      ASSERT_EQ(buffer.TakeReport(&report), Result::kReport);
      EXPECT_EQ(report.diag_event().event_id(), id);
    }
    EXPECT_EQ(buffer.TakeReport(&report), Result::kNone);
  }
}

}  // namespace
