#include "bottom_interact_center/cmd_report_server.hpp"

#include <poll.h>

#include <algorithm>
#include <chrono>

#include "bottom_interact_center/bottom_interact_center.hpp"

namespace bottom_interact_center {
namespace {

constexpr int kDeserializeFailed = 100400013;
constexpr int kHandleReportFailed = 100400017;
constexpr int kWorkResumeUnsupported = 100400018;
constexpr int kFrameNeverFits = 100400034;

constexpr int kBacklog = 1;
// Reports are taken out at most one per pass.
constexpr std::chrono::milliseconds kParserPass{100};
constexpr std::chrono::milliseconds kConnectionPass{100};

}  // namespace

CmdReportServer* CmdReportServer::GetInstance(const std::string& ip, int port) {
  static CmdReportServer instance(ip, port);
  return &instance;
}

CmdReportServer::CmdReportServer(const std::string& ip, int port)
    : TcpServer(ip, port, kBacklog),
      report_handlers_{
          [this](cleaning_component::CleanRobotReport& r) { return HandlePause(r); },
          [this](cleaning_component::CleanRobotReport& r) { return HandleDiagEvent(r); }} {
  parser_thread_ = std::thread(&CmdReportServer::ListenBuffer, this);
}

CmdReportServer::~CmdReportServer() {
  CmdReportServer::Stop();
}

void CmdReportServer::Stop() {
  StopAccepting();
  {
    std::lock_guard<std::mutex> lock(buffer_mutex_);
    parser_stopping_ = true;
  }
  buffer_changed_.notify_all();
  if (parser_thread_.joinable()) {
    parser_thread_.join();
  }
}

bool CmdReportServer::HandleAccept(int* fd) {
  if (*fd < 0) {
    return false;
  }
  health_.Count(HealthEvent::kConnected);
  health_.SetState(HealthState::kUp);
  bool lost = false;
  while (!Stopping()) {
    if (close_connection_) {
      DropConnection(fd, false);
      return false;
    }
    if (BoardGone(*fd, &lost)) {
      RCLCPP_INFO(g_node->get_logger(), "The connection has been disconnected, clear buffer");
      DropConnection(fd, true);
      return false;
    }
    std::this_thread::sleep_for(kConnectionPass);
    const int space = FreeSpace();
    if (space == 0) {
      continue;  // the parser frees room one report per pass
    }
    // Nothing is read after a time-out or a signal, nor once the stop has shut the connection
    // down to end this wait: that read's empty end would pass for the board closing it.
    pollfd readable{*fd, POLLIN, 0};
    if (poll(&readable, 1, kRecvTimeoutSeconds * 1000) <= 0 || Stopping()) {
      continue;
    }
    uint8_t chunk[kChunkSize] = {};
    const int n = RecvData(*fd, chunk, static_cast<unsigned>(std::min(space, kChunkSize)));
    if (n > 0) {
      Append(chunk, n);
    }
  }
  return false;
}

// What the board sent before it closed or reset the connection is still readable: the loss
// counts once that is read. The link-lost event goes out once, when the loss is first seen;
// bytes may come in with the close, after the first count.
bool CmdReportServer::BoardGone(int fd, bool* lost) {
  if (UnreadBytes(fd) > 0) {
    return false;
  }
  *lost = *lost || !IsConnected(fd);
  return *lost && UnreadBytes(fd) == 0;
}

void CmdReportServer::DropConnection(int* fd, bool board_ended_it) {
  {
    std::lock_guard<std::mutex> lock(buffer_mutex_);
    Close(*fd);
    health_.SetState(HealthState::kDown);
    if (board_ended_it) {
      buffer_.KeepWholeReports();
    } else {
      buffer_.Clear();
    }
    // Also when the peer went away first: the next connection must not be dropped for this one.
    close_connection_ = false;
  }
  buffer_changed_.notify_all();
}

int CmdReportServer::FreeSpace() {
  std::lock_guard<std::mutex> lock(buffer_mutex_);
  return buffer_.FreeSpace();
}

void CmdReportServer::Append(const uint8_t* data, int len) {
  std::lock_guard<std::mutex> lock(buffer_mutex_);
  RCLCPP_INFO(g_node->get_logger(), "listener rcv data, data len %d", len);
  // Never more than FreeSpace gave: only the parser ran since, and it only takes bytes out.
  buffer_.Append(data, len);
}

void CmdReportServer::ListenBuffer() {
  std::unique_lock<std::mutex> lock(buffer_mutex_);
  for (;;) {
    // A frame the parser refused stays buffered until the connection loop has dropped it.
    buffer_changed_.wait(lock, [this] { return parser_stopping_ || !close_connection_; });
    if (buffer_changed_.wait_for(lock, kParserPass, [this] { return parser_stopping_; })) {
      return;
    }
    ParseOneReport();
  }
}

void CmdReportServer::ParseOneReport() {
  cleaning_component::CleanRobotReport report;
  switch (buffer_.TakeReport(&report)) {
    case ReportBuffer::Result::kNone:
      return;
    case ReportBuffer::Result::kNeverFits:
      RCLCPP_ERROR(g_node->get_logger(),
                   "ErrorCode: %d, cmd report server buffer not enough space, pkg lost",
                   kFrameNeverFits);
      health_.Count(HealthEvent::kDropped);
      close_connection_ = true;
      return;
    case ReportBuffer::Result::kBadReport:
      RCLCPP_ERROR(g_node->get_logger(),
                   "ErrorCode: %d, Deserialize CleanRobotReport error, will close connection",
                   kDeserializeFailed);
      health_.Count(HealthEvent::kBadData);
      close_connection_ = true;
      return;
    case ReportBuffer::Result::kReport:
      health_.Count(HealthEvent::kData);
      // A handler's service call cut short by ROS shutting down is no failure of the report.
      if (!HandleReport(report) && rclcpp::ok()) {
        RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, HandleReport fail", kHandleReportFailed);
      }
      return;
  }
}

bool CmdReportServer::HandleReport(cleaning_component::CleanRobotReport& report) {
  for (const auto& handler : report_handlers_) {
    if (!handler(report)) {
      return false;
    }
  }
  g_node->ReportCleanRobotReport(report);
  return true;
}

bool CmdReportServer::HandlePause(cleaning_component::CleanRobotReport& report) {
  switch (report.pause_btn()) {
    case cleaning_component::WorkPause:
      return g_node->SendPauseSingle();
    case cleaning_component::ReturnBaseStation:
      return g_node->SendReturnCharge();
    case cleaning_component::WorkResume:
      RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, No support workresume cmd",
                   kWorkResumeUnsupported);
      return true;
    default:
      return true;
  }
}

bool CmdReportServer::HandleDiagEvent(cleaning_component::CleanRobotReport& report) {
  if (!report.has_diag_event()) {
    return true;
  }
  velmoria_protocol::msg::DiagnosticEvent event;
  event.header.stamp = g_node->now();
  // The board's id is 64 bits wide; the ROS event carries its low 32.
  event.event_id = static_cast<int32_t>(static_cast<uint32_t>(report.diag_event().event_id()));
  event.event_status = report.diag_event().event_status();
  g_node->PublishBodyDriverDiag(event);
  RCLCPP_INFO(g_node->get_logger(), "Publish body driver diag event: event_id=%d, event_status=%d",
              event.event_id, event.event_status);
  return true;
}

}  // namespace bottom_interact_center
