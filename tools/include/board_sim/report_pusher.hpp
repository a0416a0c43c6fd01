#ifndef BOARD_SIM_REPORT_PUSHER_HPP_
#define BOARD_SIM_REPORT_PUSHER_HPP_

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "robot/cleaning_component.pb.h"

namespace board_sim {

// The board's side of the report connection: it connects to the node's report port and pushes
// framed CleanRobotReports, whole, byte by byte, coalesced or as raw bytes. Not thread safe.
class ReportPusher {
public:
  explicit ReportPusher(std::string address = "127.0.0.1", uint16_t port = 10086);
  ~ReportPusher();
  ReportPusher(const ReportPusher&) = delete;
  ReportPusher& operator=(const ReportPusher&) = delete;

  // Connects (again), retrying until the node listens or the time-out passes.
  bool Connect(std::chrono::milliseconds timeout);
  bool Push(const cleaning_component::CleanRobotReport& report);
  // One write per byte, each sent on its own (no coalescing by the kernel's Nagle).
  bool PushSplit(const cleaning_component::CleanRobotReport& report);
  // All reports in one write.
  bool PushCoalesced(const std::vector<cleaning_component::CleanRobotReport>& reports);
  bool PushRaw(const std::string& bytes);
  // True once the node has closed the connection, waiting up to the time-out.
  bool WaitClosedByPeer(std::chrono::milliseconds timeout);
  void Close();
  // Closes with a reset (SO_LINGER 0), as a board that reboots mid-connection may.
  void Reset();
  bool connected() const { return fd_ >= 0; }
  // Connections made so far: each one after the first is a reconnect.
  uint64_t connections() const { return connections_; }

  // 2-byte little-endian length, then the report.
  static std::string Frame(const cleaning_component::CleanRobotReport& report);

private:
  bool TryConnect();

  std::string address_;
  uint16_t port_;
  int fd_ = -1;
  uint64_t connections_ = 0;
};

}  // namespace board_sim

#endif  // BOARD_SIM_REPORT_PUSHER_HPP_
