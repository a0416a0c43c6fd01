#include "bottom_interact_center/tcp_client.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "bottom_interact_center/bottom_interact_center.hpp"
#include "bottom_interact_center/constants.hpp"

namespace bottom_interact_center {
namespace {

constexpr int kConnectFailed = 100400021;
constexpr int kWaitSliceMs = 50;

// A blocking connect interrupted by a signal goes on in the kernel; calling again waits for it,
// and EISCONN then means it has completed.
int ConnectRetryingInterrupts(int fd, const sockaddr_in& address) {
  const auto* raw = reinterpret_cast<const sockaddr*>(&address);
  int r = connect(fd, raw, sizeof(address));
  bool interrupted = false;
  while (r < 0 && errno == EINTR) {
    interrupted = true;
    r = connect(fd, raw, sizeof(address));
  }
  return (r < 0 && interrupted && errno == EISCONN) ? 0 : r;
}

}  // namespace

TcpClient::TcpClient(const std::string& ip, const int& port) : ip_(ip), port_(port) {}

TcpClient::~TcpClient() {
  Close();
}

bool TcpClient::Connect() {
  RCLCPP_INFO(g_node->get_logger(), "Try to connect server %s:%d", ip_.c_str(), port_);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port_));
  // A malformed address must fail the connect, not fall back to 0.0.0.0 (this host).
  const int r = inet_pton(AF_INET, ip_.c_str(), &address.sin_addr) == 1
                    ? ConnectRetryingInterrupts(sock_fd_, address)
                    : -1;
  RCLCPP_INFO(g_node->get_logger(), "TcpSocket::Connect get flag: %d", r);
  if (r >= 0) {
    return true;
  }
  RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, TcpSocket::Connect failed", kConnectFailed);
  return false;
}

bool TcpClient::Init() {
  if (!CreateSocket(sock_fd_) || !SetSockOpt(sock_fd_, false) || !Connect()) {
    return false;
  }
  ++connection_count_;
  velmoria_protocol::msg::DiagnosticEvent event;
  event.event_id = kLinkEventId;
  event.event_status = kLinkRestored;
  g_node->PublishTaskCenterDiag(event);
  return true;
}

void TcpClient::Close() {
  if (sock_fd_ >= 0) {
    close(sock_fd_);
    sock_fd_ = -1;
  }
}

bool TcpClient::Reconnect() {
  Close();
  return Init();
}

bool TcpClient::EnsureConnected() {
  return IsConnected(sock_fd_) || Reconnect();
}

// A board that answers and then closes the link leaves its answer unread behind the close: it is
// read before the link is rebuilt, not thrown away with the old socket. The unread count is taken
// again once the state says closed, because the answer may have come in with the close just
// after the first count; the state changes only after the bytes before the close are queued.
bool TcpClient::EnsureReadable() {
  return UnreadBytes(sock_fd_) > 0 || IsConnected(sock_fd_) || UnreadBytes(sock_fd_) > 0 ||
         Reconnect();
}

bool TcpClient::SendData(const uint8_t* data, unsigned len) {
  return EnsureConnected() && TcpSocket::SendData(sock_fd_, data, len);
}

int TcpClient::RecvData(uint8_t* buf, unsigned cap) {
  if (!EnsureReadable()) {
    return 0;
  }
  if (!AwaitReadable()) {
    return -1;
  }
  return TcpSocket::RecvData(sock_fd_, buf, cap);
}

// Bounded by what is there at the start, so a board that keeps sending cannot hold the caller.
int TcpClient::DiscardReceived() {
  const int unread = UnreadBytes(sock_fd_);
  int dropped = 0;
  uint8_t scrap[4096];
  while (dropped < unread) {
    const ssize_t n = recv(sock_fd_, scrap, sizeof(scrap), MSG_DONTWAIT);
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

bool TcpClient::AwaitReadable() const {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(kRecvTimeoutSeconds);
  pollfd entry{sock_fd_, POLLIN, 0};
  while (rclcpp::ok()) {
    const int r = poll(&entry, 1, kWaitSliceMs);
    if (r > 0 || (r < 0 && errno != EINTR)) {
      return true;  // the read tells what is there
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
  }
  return false;
}

}  // namespace bottom_interact_center
