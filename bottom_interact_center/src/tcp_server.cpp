#include "bottom_interact_center/tcp_server.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bottom_interact_center/bottom_interact_center.hpp"
#include "bottom_interact_center/listener_exit.hpp"

namespace bottom_interact_center {
namespace {

constexpr int kBindFailed = 100400022;
constexpr int kListenFailed = 100400023;

// After an accept error other than the receive time-out (out of descriptors, say), so that a
// lasting error cannot spin a core.
constexpr std::chrono::milliseconds kAcceptErrorPause{100};

bool IsAcceptTimeout(int error) {
  return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

}  // namespace

TcpServer::TcpServer(const std::string& ip, int port, int backlog)
    : ip_(ip), port_(port), backlog_(backlog) {}

TcpServer::~TcpServer() {
  StopAccepting();
  if (g_node != nullptr) {
    RCLCPP_INFO(g_node->get_logger(), "~TcpServer");
  }
  Close(sock_fd_);
}

bool TcpServer::Init() {
  if (!CreateSocket(sock_fd_) || !SetSockOpt(sock_fd_, true)) {
    return false;
  }
  RCLCPP_INFO(g_node->get_logger(), "Start tcp server thread");
  accept_thread_ = std::thread(&TcpServer::Start, this);
  return true;
}

void TcpServer::Start() {
  BindAndListen();
  sockaddr_in peer{};
  socklen_t peer_len = sizeof(peer);
  while (!stopping_) {
    int fd = accept(sock_fd_, reinterpret_cast<sockaddr*>(&peer), &peer_len);
    if (fd < 0) {
      if (!IsAcceptTimeout(errno) && !stopping_) {
        std::this_thread::sleep_for(kAcceptErrorPause);
      }
      continue;
    }
    char address[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &peer.sin_addr, address, sizeof(address));
    RCLCPP_INFO(g_node->get_logger(), "Accept a connection, ip : %s, port : %u", address,
                static_cast<unsigned>(ntohs(peer.sin_port)));
    ServeConnection(fd);
  }
}

void TcpServer::BindAndListen() {
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
  if (listen(sock_fd_, backlog_) < 0) {
    const int error = errno;
    RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, Listen Socket error: %s(errornum: %d)",
                 kListenFailed, std::strerror(error), error);
    ExitListenerProcess();
  }
}

void TcpServer::ServeConnection(int fd) {
  {
    std::lock_guard<std::mutex> lock(connection_mutex_);
    connection_fd_ = fd;
  }
  // Checked after publishing the descriptor: a stop that came before cannot have woken it.
  if (!stopping_) {
    HandleAccept(&fd);
  }
  std::lock_guard<std::mutex> lock(connection_mutex_);
  connection_fd_ = -1;
  if (fd >= 0) {
    close(fd);
  }
}

bool TcpServer::HandleAccept(int* fd) {
  RCLCPP_INFO(g_node->get_logger(), "Handle Accept connection");
  Close(*fd);
  return true;
}

void TcpServer::Close(int& fd) {
  if (fd < 0) {
    return;
  }
  std::lock_guard<std::mutex> lock(connection_mutex_);
  if (fd == connection_fd_) {
    connection_fd_ = -1;
  }
  close(fd);
  fd = -1;
}

void TcpServer::StopAccepting() {
  if (stopping_.exchange(true)) {
    return;
  }
  {
    std::lock_guard<std::mutex> lock(connection_mutex_);
    // shutdown wakes a thread blocked in accept or read on the descriptor; close would not.
    if (connection_fd_ >= 0) {
      shutdown(connection_fd_, SHUT_RDWR);
    }
    if (sock_fd_ >= 0) {
      shutdown(sock_fd_, SHUT_RDWR);
    }
  }
  if (accept_thread_.joinable()) {
    if (accept_thread_.get_id() == std::this_thread::get_id()) {
      accept_thread_.detach();  // the process is ending from this very thread
    } else {
      accept_thread_.join();
    }
  }
}

}  // namespace bottom_interact_center
