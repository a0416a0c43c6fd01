#include "bottom_interact_center/tcp_client.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
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

// Waits in slices for a connect under way on a non-blocking socket, up to the send time-out that
// bounds a connect, or until ROS shuts down: 0 once connected, else -1 with errno set.
int AwaitConnected(int fd) {
  const auto give_up_at =
      std::chrono::steady_clock::now() + std::chrono::seconds(TcpSocket::kSendTimeoutSeconds);
  pollfd entry{fd, POLLOUT, 0};
  const int r = TcpSocket::PollWhileRosRuns(&entry, give_up_at);
  if (r <= 0) {
    if (r == 0) {
      errno = ETIMEDOUT;
    }
    return -1;
  }
  int error = 0;
  socklen_t length = sizeof(error);
  getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
  errno = error;
  return error == 0 ? 0 : -1;
}

// A board that drops our connection requests (booting, a cable out) would hold a blocking connect
// for its whole time-out, a stop included; so the socket connects without blocking, and is put
// back to blocking for the reads and writes that follow.
int ConnectInSlices(int fd, const sockaddr_in& address) {
  const int flags = fcntl(fd, F_GETFL);
  fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  int r = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  if (r < 0 && (errno == EINPROGRESS || errno == EINTR)) {
    r = AwaitConnected(fd);
  }
  const int connect_errno = errno;
  fcntl(fd, F_SETFL, flags);
  errno = connect_errno;
  return r;
}

}  // namespace

TcpClient::TcpClient(const std::string& ip, const int& port, Incoming incoming)
    : ip_(ip), port_(port), incoming_(incoming) {}

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
                    ? ConnectInSlices(sock_fd_, address)
                    : -1;
  RCLCPP_INFO(g_node->get_logger(), "TcpSocket::Connect get flag: %d", r);
  if (r >= 0) {
    return true;
  }
  if (rclcpp::ok()) {  // else the connect was cut short by the stop, not failed
    RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, TcpSocket::Connect failed", kConnectFailed);
  }
  return false;
}

bool TcpClient::Init() {
  if (!CreateSocket(sock_fd_) || !SetSockOpt(sock_fd_, false) || !Connect()) {
    return false;
  }
  ++connection_count_;
  health_.Count(HealthEvent::kConnected);
  health_.SetState(HealthState::kUp);
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
  if (Init()) {
    return true;
  }
  if (rclcpp::ok()) {  // a connect cut short by the stop says nothing about the board
    health_.SetState(HealthState::kDown);
  }
  return false;
}

bool TcpClient::LinkUp() {
  if (IsConnected(sock_fd_)) {
    return true;
  }
  health_.Count(HealthEvent::kLinkLost);
  return false;
}

void TcpClient::CountReceived(int bytes) {
  if (bytes > 0) {
    health_.Count(HealthEvent::kData);
  }
}

bool TcpClient::EnsureConnected() {
  return LinkUp() || Reconnect();
}

// A board that answers and then closes the link leaves its answer unread behind the close: it is
// read before the link is rebuilt, not thrown away with the old socket. The unread count is taken
// again once the state says closed, because the answer may have come in with the close just
// after the first count; the state changes only after the bytes before the close are queued.
bool TcpClient::EnsureReadable() {
  return UnreadBytes(sock_fd_) > 0 || LinkUp() || UnreadBytes(sock_fd_) > 0 || Reconnect();
}

bool TcpClient::SendData(const uint8_t* data, unsigned len) {
  if (!EnsureConnected()) {
    return false;
  }
  int dropped = 0;
  const bool sent = TcpSocket::SendData(sock_fd_, data, len,
                                        incoming_ == Incoming::kDropped ? &dropped : nullptr);
  if (dropped > 0) {
    RCLCPP_DEBUG(g_node->get_logger(), "%s:%d: %d bytes from the board read and dropped",
                 ip_.c_str(), port_, dropped);
    CountReceived(dropped);
  }
  if (!sent && rclcpp::ok()) {
    health_.Count(HealthEvent::kSendFailed);
  }
  return sent;
}

int TcpClient::RecvData(uint8_t* buf, unsigned cap) {
  if (!EnsureReadable()) {
    return 0;
  }
  const int r = AwaitReadable() ? TcpSocket::RecvData(sock_fd_, buf, cap) : -1;
  if (r < 0 && rclcpp::ok()) {
    health_.Count(HealthEvent::kReceiveFailed);
  }
  CountReceived(r);
  return r;
}

int TcpClient::DiscardReceived() {
  const int dropped = DropReceived(sock_fd_);
  CountReceived(dropped);
  return dropped;
}

bool TcpClient::AwaitReadable() const {
  pollfd entry{sock_fd_, POLLIN, 0};
  // Data, an end or an error: the read tells what is there.
  return PollWhileRosRuns(&entry, std::chrono::steady_clock::now() +
                                      std::chrono::seconds(kRecvTimeoutSeconds)) != 0;
}

}  // namespace bottom_interact_center
