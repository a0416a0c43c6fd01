#include "board_sim/report_pusher.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "board_sim/socket_io.hpp"
#include "bottom_interact_center/board_frame.hpp"

namespace board_sim {
namespace {

using namespace std::chrono_literals;

// Between single-byte writes, so that each arrives in a read of its own.
constexpr auto kBytePause = 2ms;

}  // namespace

ReportPusher::ReportPusher(std::string address, uint16_t port)
    : address_(std::move(address)), port_(port) {}

ReportPusher::~ReportPusher() {
  Close();
}

bool ReportPusher::Connect(std::chrono::milliseconds timeout) {
  Close();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!TryConnect()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(20ms);
  }
  ++connections_;
  return true;
}

bool ReportPusher::TryConnect() {
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port_);
  if (fd_ < 0 || inet_pton(AF_INET, address_.c_str(), &address.sin_addr) != 1 ||
      connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    Close();
    return false;
  }
  const int on = 1;
  setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
  return true;
}

std::string ReportPusher::Frame(const cleaning_component::CleanRobotReport& report) {
  std::vector<uint8_t> frame;
  bottom_interact_center::BoardFrame::Encode(report, &frame);
  return std::string(frame.begin(), frame.end());
}

bool ReportPusher::Push(const cleaning_component::CleanRobotReport& report) {
  return PushRaw(Frame(report));
}

bool ReportPusher::PushSplit(const cleaning_component::CleanRobotReport& report) {
  for (const char byte : Frame(report)) {
    if (!PushRaw(std::string(1, byte))) {
      return false;
    }
    std::this_thread::sleep_for(kBytePause);
  }
  return true;
}

bool ReportPusher::PushCoalesced(const std::vector<cleaning_component::CleanRobotReport>& reports) {
  std::string bytes;
  for (const auto& report : reports) {
    bytes += Frame(report);
  }
  return PushRaw(bytes);
}

bool ReportPusher::PushRaw(const std::string& bytes) {
  return fd_ >= 0 && WriteAll(fd_, bytes);
}

bool ReportPusher::WaitClosedByPeer(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (fd_ >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd readable{fd_, POLLIN, 0};
    if (poll(&readable, 1, static_cast<int>(std::max<int64_t>(left.count(), 0))) > 0) {
      char byte;
      const ssize_t n = recv(fd_, &byte, 1, MSG_DONTWAIT);
      if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
        Close();
      }
    } else if (left.count() <= 0) {
      return false;
    }
  }
  return true;
}

void ReportPusher::Reset() {
  if (fd_ >= 0) {
    const linger abort{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof(abort));
  }
  Close();
}

void ReportPusher::Close() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
}

}  // namespace board_sim
