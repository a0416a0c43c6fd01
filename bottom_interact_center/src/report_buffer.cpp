#include "bottom_interact_center/report_buffer.hpp"

#include <cstring>

#include "bottom_interact_center/board_frame.hpp"

namespace bottom_interact_center {

void ReportBuffer::Append(const uint8_t* data, int len) {
  std::memcpy(bytes_ + len_, data, static_cast<std::size_t>(len));
  len_ += len;
}

void ReportBuffer::KeepWholeReports() {
  constexpr int kHeader = static_cast<int>(BoardFrame::kHeaderSize);
  cleaning_component::CleanRobotReport report;
  int kept = 0;
  while (kept + kHeader <= len_) {
    const int body_len = BoardFrame::ReadLength(bytes_ + kept);
    if (kept + kHeader + body_len > len_ ||
        !report.ParseFromArray(bytes_ + kept + kHeader, body_len)) {
      break;
    }
    kept += kHeader + body_len;
  }
  len_ = kept;
}

ReportBuffer::Result ReportBuffer::TakeReport(cleaning_component::CleanRobotReport* report) {
  constexpr int kHeader = static_cast<int>(BoardFrame::kHeaderSize);
  if (len_ < kHeader) {
    return Result::kNone;
  }
  const int body_len = BoardFrame::ReadLength(bytes_);
  const int frame_len = kHeader + body_len;
  if (frame_len > kSize) {
    return Result::kNeverFits;
  }
  if (len_ < frame_len) {
    return Result::kNone;
  }
  if (!report->ParseFromArray(bytes_ + kHeader, body_len)) {
    return Result::kBadReport;
  }
  len_ -= frame_len;
  std::memmove(bytes_, bytes_ + frame_len, static_cast<std::size_t>(len_));
  return Result::kReport;
}

}  // namespace bottom_interact_center
