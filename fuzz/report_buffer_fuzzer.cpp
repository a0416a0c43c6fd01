// The report connection: the board pushes framed CleanRobotReports, which the server receives in
// reads of at most its chunk size and never more than the buffer's free space, and takes out of
// the buffer until none is whole. A frame that can never fit or does not parse ends the
// connection: the server drops it and clears the buffer, and the rest of the input plays the
// next connection.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "board_round_trip.hpp"
#include "bottom_interact_center/board_frame.hpp"
#include "bottom_interact_center/report_buffer.hpp"
#include "chunked_input.hpp"
#include "fuzz_check.hpp"

namespace {

using bottom_interact_center::BoardFrame;
using bottom_interact_center::ReportBuffer;
using cleaning_component::CleanRobotReport;

// CmdReportServer::kChunkSize; its header pulls in the node.
constexpr std::size_t kReceiveSize = 4096;
constexpr std::size_t kHeader = BoardFrame::kHeaderSize;

// The first frame's total size as its header declares it (the header must be buffered).
std::size_t DeclaredFrameSize(const std::string& bytes) {
  return kHeader + BoardFrame::ReadLength(reinterpret_cast<const uint8_t*>(bytes.data()));
}

bool Parses(const std::string& bytes, std::size_t body_len, CleanRobotReport* report) {
  return report->ParseFromArray(bytes.data() + kHeader, static_cast<int>(body_len));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  fuzz::SilenceProtobufLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  ReportBuffer buffer;
  fuzz::ChunkedInput input(data, size);
  std::string expected;  // what the buffer holds, by the frame format alone
  while (!input.empty()) {
    const int free_space = buffer.FreeSpace();
    FUZZ_CHECK(free_space >= 0 && free_space <= ReportBuffer::kSize);
    FUZZ_CHECK(static_cast<std::size_t>(free_space) + expected.size() == ReportBuffer::kSize);
    // A full buffer without a verdict would stall the connection for good.
    FUZZ_CHECK(free_space > 0);

    const uint8_t* chunk = nullptr;
    const std::size_t len =
        input.Next(std::min(static_cast<std::size_t>(free_space), kReceiveSize), &chunk);
    buffer.Append(chunk, static_cast<int>(len));
    expected.append(reinterpret_cast<const char*>(chunk), len);

    for (;;) {
      CleanRobotReport report;
      const ReportBuffer::Result result = buffer.TakeReport(&report);
      if (result == ReportBuffer::Result::kNone) {
        FUZZ_CHECK(expected.size() < kHeader || expected.size() < DeclaredFrameSize(expected));
        break;
      }
      FUZZ_CHECK(expected.size() >= kHeader);
      const std::size_t frame_size = DeclaredFrameSize(expected);
      if (result == ReportBuffer::Result::kNeverFits) {
        FUZZ_CHECK(frame_size > static_cast<std::size_t>(ReportBuffer::kSize));
        buffer.Clear();
        expected.clear();
        break;
      }
      FUZZ_CHECK(frame_size <= expected.size());
      CleanRobotReport reference;
      const bool parses = Parses(expected, frame_size - kHeader, &reference);
      if (result == ReportBuffer::Result::kBadReport) {
        FUZZ_CHECK(!parses);
        buffer.Clear();
        expected.clear();
        break;
      }
      FUZZ_CHECK(result == ReportBuffer::Result::kReport);
      FUZZ_CHECK(parses);
      FUZZ_CHECK(report.SerializeAsString() == reference.SerializeAsString());
      expected.erase(0, frame_size);
      FUZZ_CHECK(static_cast<std::size_t>(buffer.FreeSpace()) + expected.size() ==
                 ReportBuffer::kSize);
      fuzz::CheckFrameRoundTrip(report);
    }
  }
  return 0;
}
