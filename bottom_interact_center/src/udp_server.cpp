#include "bottom_interact_center/udp_server.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "bottom_interact_center/bottom_interact_center.hpp"
#include "bottom_interact_center/listener_exit.hpp"

namespace bottom_interact_center {
namespace {

constexpr int kCreateSocketFailed = 100400029;
constexpr int kBindFailed = 100400030;
constexpr int kReceiveFailed = 100400031;

// After a receive error, so that a lasting one cannot spin a core.
constexpr std::chrono::milliseconds kReceiveErrorPause{100};

}  // namespace

UdpServer::UdpServer(const std::string& ip, int port) : ip_(ip), port_(port) {}

UdpServer::~UdpServer() {
  StopReceiving();
  if (sock_fd_ >= 0) {
    close(sock_fd_);
  }
}

bool UdpServer::Init() {
  sock_fd_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (sock_fd_ < 0) {
    RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, Create udp socket failed!",
                 kCreateSocketFailed);
    return false;
  }
  RCLCPP_INFO(g_node->get_logger(), "Start udp server thread");
  receive_thread_ = std::thread(&UdpServer::Start, this);
  return true;
}

void UdpServer::Start() {
  Bind();
  sockaddr_in sender{};
  socklen_t sender_len = sizeof(sender);
  char buffer[kMaxDatagram];
  for (;;) {
    std::memset(buffer, 0, sizeof(buffer));
    const ssize_t n = recvfrom(sock_fd_, buffer, sizeof(buffer), 0,
                               reinterpret_cast<sockaddr*>(&sender), &sender_len);
    if (stopping_) {
      return;
    }
    if (n < 0) {
      ReportReceiveFailure(errno);
      continue;
    }
    HandleData(buffer, static_cast<int>(n));
  }
}

void UdpServer::ReportReceiveFailure(int error) {
  // A signal (the process's stop among them) or a receive time-out is no failure.
  if (error == EINTR || error == EAGAIN || error == EWOULDBLOCK) {
    return;
  }
  RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, Udp Server failed to receive data",
               kReceiveFailed);
  std::this_thread::sleep_for(kReceiveErrorPause);
}

void UdpServer::Bind() {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port_));
  address.sin_addr.s_addr = inet_addr(ip_.c_str());
  if (bind(sock_fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) < 0) {
    const int error = errno;
    RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, Bind Socket error: %s(errornum: %d)",
                 kBindFailed, std::strerror(error), error);
    ExitListenerProcess();
  }
}

bool UdpServer::HandleData(const char* /*data*/, int /*len*/) {
  RCLCPP_INFO(g_node->get_logger(), "UDP SERVER  HandleData");
  return true;
}

bool UdpServer::CountParsed(bool parsed) {
  health_.Count(parsed ? HealthEvent::kData : HealthEvent::kBadData);
  return parsed;
}

void UdpServer::StopReceiving() {
  if (stopping_.exchange(true) || !receive_thread_.joinable()) {
    return;
  }
  // Wakes recvfrom (it returns 0), also on an unconnected datagram socket.
  shutdown(sock_fd_, SHUT_RDWR);
  if (receive_thread_.get_id() == std::this_thread::get_id()) {
    receive_thread_.detach();  // the process is ending from this very thread
  } else {
    receive_thread_.join();
  }
}

}  // namespace bottom_interact_center
