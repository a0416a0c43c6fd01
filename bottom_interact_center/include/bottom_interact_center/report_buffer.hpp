// The report connection's reassembly buffer: the board's bytes in, framed reports out. I/O free,
// not thread safe.
#ifndef BOTTOM_INTERACT_CENTER__REPORT_BUFFER_HPP_
#define BOTTOM_INTERACT_CENTER__REPORT_BUFFER_HPP_

#include <cstdint>

#include "robot/cleaning_component.pb.h"

namespace bottom_interact_center {

class ReportBuffer {
public:
  static constexpr int kSize = 16384;

  enum class Result {
    kNone,       // no whole frame buffered yet
    kReport,     // *report holds the first frame's report, taken out of the buffer
    kNeverFits,  // the first frame declares more than the buffer holds; it stays buffered
    kBadReport,  // the first frame's body is not a CleanRobotReport; it stays buffered
  };

  int FreeSpace() const { return kSize - len_; }
  // Takes len bytes; len is at most FreeSpace().
  void Append(const uint8_t* data, int len);
  Result TakeReport(cleaning_component::CleanRobotReport* report);
  void Clear() { len_ = 0; }
  // Keeps the leading run of whole reports and drops the rest (a partial frame, or one that can
  // never be taken): what a connection that ended leaves for the parser, so that the next
  // connection's bytes start on a frame boundary.
  void KeepWholeReports();

private:
  int len_ = 0;
  uint8_t bytes_[kSize];
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__REPORT_BUFFER_HPP_
