#include "bottom_interact_center/tcp_socket.hpp"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <iostream>

#include "bottom_interact_center/bottom_interact_center.hpp"
#include "bottom_interact_center/constants.hpp"

namespace bottom_interact_center {
namespace {

constexpr int kSendFailed = 100400025;
constexpr int kRecvFailed = 100400026;
constexpr int kRecvShutdown = 100400027;
constexpr int kSockOptFailed = 100400028;
constexpr int kCreateSocketFailed = 100400029;

constexpr int kKeepIdleSeconds = 20;
constexpr int kKeepCount = 3;

// One option of the fixed set; its failure is logged, and echoed to standard output when asked.
template <typename T>
bool SetOption(int fd, int level, int name, const T& value, const char* failure, bool echo) {
  if (setsockopt(fd, level, name, &value, sizeof(value)) == 0) {
    return true;
  }
  RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, %s", kSockOptFailed, failure);
  if (echo) {
    std::cout << std::string(failure) + "\n" << std::flush;
  }
  return false;
}

}  // namespace

bool TcpSocket::CreateSocket(int& fd) {
  fd = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (fd < 0) {
    RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, TcpSocket::CreateSocket failed",
                 kCreateSocketFailed);
    return false;
  }
  return true;
}

bool TcpSocket::SetSockOpt(int fd, bool reuse_addr) {
  const int on = 1;
  const int keep_interval = std::max(kKeepIdleSeconds / 3, 1);
  const timeval send_timeout{TcpSocket::kSendTimeoutSeconds, 0};
  const timeval recv_timeout{TcpSocket::kRecvTimeoutSeconds, 0};
  return SetOption(fd, SOL_SOCKET, SO_KEEPALIVE, on, "TcpSocket::SetSockOpt SO_KEEPALIVE failed",
                   false) &&
         SetOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, kKeepIdleSeconds,
                   "TcpSocket::SetSockOpt TCP_KEEPIDLE failed", false) &&
         SetOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, keep_interval,
                   "TcpSocket::SetSockOpt TCP_KEEPINTVL failed", false) &&
         SetOption(fd, IPPROTO_TCP, TCP_KEEPCNT, kKeepCount,
                   "TcpSocket::SetSockOpt TCP_KEEPCNT failed", false) &&
         SetOption(fd, SOL_SOCKET, SO_SNDTIMEO, send_timeout,
                   "TcpSocket::SetSockOpt SO_SNDTIMEO failed", true) &&
         SetOption(fd, SOL_SOCKET, SO_RCVTIMEO, recv_timeout,
                   "TcpSocket::SetSockOpt SO_RCVTIMEO failed", true) &&
         (!reuse_addr || SetOption(fd, SOL_SOCKET, SO_REUSEADDR, on,
                                   "TcpSocket::SetSockOpt SO_REUSEADDR failed", true));
}

bool TcpSocket::SendData(int fd, const uint8_t* data, unsigned len, int* dropped) {
  unsigned sent = 0;
  auto give_up_at = std::chrono::steady_clock::now() + std::chrono::seconds(kSendTimeoutSeconds);
  while (sent < len) {
    // MSG_NOSIGNAL: a peer that has gone away is a failed send, not a process killed by SIGPIPE.
    const ssize_t r = send(fd, data + sent, len - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (r >= 0) {
      sent += static_cast<unsigned>(r);
      give_up_at = std::chrono::steady_clock::now() + std::chrono::seconds(kSendTimeoutSeconds);
      continue;
    }
    const int send_errno = errno;
    if (send_errno == EINTR || ((send_errno == EAGAIN || send_errno == EWOULDBLOCK) &&
                                AwaitRoom(fd, give_up_at, dropped))) {
      continue;
    }
    if (rclcpp::ok()) {  // else the send was cut short by the stop, not failed
      RCLCPP_ERROR(g_node->get_logger(),
                   "ErrorCode: %d, TcpSocket::Send data failed, totalLen: %d, dataLen: %d, ret: %d",
                   kSendFailed, static_cast<int>(sent), static_cast<int>(len), -1);
    }
    return false;
  }
  return true;
}

bool TcpSocket::AwaitRoom(int fd, std::chrono::steady_clock::time_point give_up_at, int* dropped) {
  pollfd entry{fd, static_cast<short>(POLLOUT | (dropped != nullptr ? POLLIN : 0)), 0};
  while (PollWhileRosRuns(&entry, give_up_at) > 0) {
    if ((entry.revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
      return true;  // the next send tells what became of the link
    }
    if ((entry.revents & POLLIN) != 0) {
      const int n = DropReceived(fd);
      *dropped += n;
      if (n == 0) {
        entry.events = POLLOUT;  // the peer has closed its side: nothing more will come
      }
    }
  }
  errno = EAGAIN;
  return false;
}

int TcpSocket::PollWhileRosRuns(pollfd* entry, std::chrono::steady_clock::time_point give_up_at) {
  while (rclcpp::ok() && std::chrono::steady_clock::now() < give_up_at) {
    entry->revents = 0;
    const int r = poll(entry, 1, kWaitSliceMs);
    if (r > 0 || (r < 0 && errno != EINTR)) {
      return r;
    }
  }
  return 0;
}

int TcpSocket::DropReceived(int fd) {
  const int unread = UnreadBytes(fd);
  int dropped = 0;
  uint8_t scrap[4096];
  while (dropped < unread) {
    const ssize_t n = recv(fd, scrap, sizeof(scrap), MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      break;  // the next send finds out what became of the link
    }
    dropped += static_cast<int>(n);
  }
  return dropped;
}

int TcpSocket::RecvData(int fd, uint8_t* buf, unsigned cap) {
  ssize_t r;
  do {
    r = read(fd, buf, cap);
  } while (r < 0 && errno == EINTR);
  const int read_errno = errno;
  if (r < 0) {
    // EAGAIN is the receive time-out expiring: a quiet peer, not an error.
    if (read_errno != EAGAIN) {
      RCLCPP_ERROR(g_node->get_logger(),
                   "ErrorCode: %d, TcpSocket::RecvData failed, ret:%d, errno:%d", kRecvFailed,
                   static_cast<int>(r), read_errno);
    }
    return -1;
  }
  if (r == 0) {
    RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, TcpSocket::RecvData connect shutdown",
                 kRecvShutdown);
    return 0;
  }
  return static_cast<int>(r);
}

bool TcpSocket::IsConnected(int fd) {
  tcp_info info{};
  socklen_t len = sizeof(info);
  if (getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &len) == 0 &&
      info.tcpi_state == TCP_ESTABLISHED) {
    return true;
  }
  velmoria_protocol::msg::DiagnosticEvent event;
  event.event_id = kLinkEventId;
  event.event_status = kLinkLost;
  g_node->PublishTaskCenterDiag(event);
  return false;
}

int TcpSocket::UnreadBytes(int fd) {
  int unread = 0;
  return fd >= 0 && ioctl(fd, FIONREAD, &unread) == 0 ? unread : 0;
}

}  // namespace bottom_interact_center
