// The board's report connection: reports pushed by the board, reassembled, handled, forwarded.
#ifndef BOTTOM_INTERACT_CENTER__CMD_REPORT_SERVER_HPP_
#define BOTTOM_INTERACT_CENTER__CMD_REPORT_SERVER_HPP_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bottom_interact_center/report_buffer.hpp"
#include "bottom_interact_center/source_health.hpp"
#include "bottom_interact_center/tcp_server.hpp"
#include "robot/cleaning_component.pb.h"

namespace bottom_interact_center {

// Two threads share the reassembly buffer: the accept thread's connection loop only moves bytes
// from the socket into it, never more than it can hold, so a busy parser holds the board back
// through TCP flow control instead of losing data; the parser thread takes out one framed
// CleanRobotReport per 100 ms pass and runs the handlers on it, holding the buffer while it does.
// Reports the board sent before it closed the connection are handled like any others.
class CmdReportServer : public TcpServer {
public:
  using ReportHandler = std::function<bool(cleaning_component::CleanRobotReport&)>;

  static constexpr int kChunkSize = 4096;

  // The process-wide instance, made by the first call; later calls ignore their arguments.
  static CmdReportServer* GetInstance(const std::string& ip, int port);

  CmdReportServer(const std::string& ip, int port);
  ~CmdReportServer() override;

  // The connection loop: returns when the connection is gone and read to its end, or the parser
  // asked to drop it.
  bool HandleAccept(int* fd) override;
  // The parser thread's body: returns only when the server is being destroyed.
  void ListenBuffer();
  // The handlers in order, then the forwarding; false (nothing forwarded) when one refused.
  bool HandleReport(cleaning_component::CleanRobotReport& report);
  bool HandlePause(cleaning_component::CleanRobotReport& report);
  bool HandleDiagEvent(cleaning_component::CleanRobotReport& report);
  // The accept thread, then the parser thread.
  void Stop() override;
  // The board's connection, the reports handled, those that did not parse or never fit.
  const SourceHealth& Health() const { return health_; }

private:
  // True once the board has closed or lost the connection and everything it sent is read; *lost
  // keeps what the connection check said.
  bool BoardGone(int fd, bool* lost);
  // Drops the connection and what is buffered of it; when the board ended it, the whole reports
  // it sent stay for the parser and only an unfinished frame goes.
  void DropConnection(int* fd, bool board_ended_it);
  // Bytes the buffer can still take, waiting for the parser if it is handling a report.
  int FreeSpace();
  void Append(const uint8_t* data, int len);
  // One parser pass over the buffer; the caller holds buffer_mutex_.
  void ParseOneReport();

  std::vector<ReportHandler> report_handlers_;
  SourceHealth health_;
  std::atomic<bool> close_connection_{false};
  std::mutex buffer_mutex_;
  // Wakes the parser when the connection loop has dropped a connection, or at destruction.
  std::condition_variable buffer_changed_;
  ReportBuffer buffer_;
  bool parser_stopping_ = false;
  std::thread parser_thread_;
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__CMD_REPORT_SERVER_HPP_
