#include "board_sim/link_listener.hpp"

#include "board_sim/socket_io.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace board_sim {

namespace {

// A receiver with a 4096-byte buffer and a 2-byte length field.
constexpr std::size_t kMaxPayload = 4094;
constexpr std::size_t kReadSize = 4096;

std::string SystemError(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

void CloseFd(int* fd) {
  if (*fd >= 0) {
    close(*fd);
    *fd = -1;
  }
}

}  // namespace

LinkListener::LinkListener(std::string address, uint16_t port,
                           std::chrono::milliseconds write_pause, Callbacks callbacks)
    : address_(std::move(address)),
      port_(port),
      write_pause_(write_pause),
      callbacks_(std::move(callbacks)) {}

LinkListener::~LinkListener() {
  Stop();
}

bool LinkListener::Start(std::string* reason) {
  if (!OpenListeningSocket(reason)) {
    CloseFd(&listen_fd_);
    return false;
  }
  int wake[2];
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    *reason = SystemError("pipe");
    CloseFd(&listen_fd_);
    return false;
  }
  wake_read_fd_ = wake[0];
  wake_write_fd_ = wake[1];
  stopping_ = false;
  {
    std::lock_guard<std::mutex> lock(close_mutex_);
    running_ = true;
  }
  thread_ = std::thread(&LinkListener::Run, this);
  return true;
}

bool LinkListener::OpenListeningSocket(std::string* reason) {
  const std::string where = address_ + ":" + std::to_string(port_);
  listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0) {
    *reason = SystemError("socket");
    return false;
  }
  const int on = 1;
  setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port_);
  if (inet_pton(AF_INET, address_.c_str(), &addr.sin_addr) != 1) {
    *reason = "not an IPv4 address: " + address_;
    return false;
  }
  if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    *reason = SystemError("bind " + where);
    return false;
  }
  if (listen(listen_fd_, 8) != 0) {
    *reason = SystemError("listen " + where);
    return false;
  }
  socklen_t length = sizeof(addr);
  getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &length);
  port_ = ntohs(addr.sin_port);
  return true;
}

void LinkListener::Stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  Wake();
  thread_.join();
  CloseFd(&listen_fd_);
  CloseFd(&wake_read_fd_);
  CloseFd(&wake_write_fd_);
}

void LinkListener::CloseConnections() {
  std::unique_lock<std::mutex> lock(close_mutex_);
  if (!running_) return;
  const uint64_t request = ++close_requests_;
  lock.unlock();
  Wake();
  lock.lock();
  close_done_.wait(lock, [&] { return close_handled_ >= request || !running_; });
}

void LinkListener::Wake() {
  const char byte = 1;
  // A full pipe already holds a wake-up; nothing is lost when this write fails.
  [[maybe_unused]] const ssize_t ignored = write(wake_write_fd_, &byte, 1);
}

void LinkListener::Run() {
  while (!stopping_) {
    std::vector<pollfd> fds = {{wake_read_fd_, POLLIN, 0}, {listen_fd_, POLLIN, 0}};
    for (const auto& connection : connections_) fds.push_back({connection.fd, POLLIN, 0});
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents != 0) {
      HandleWake();
      continue;  // the connection list may have changed under the poll set
    }
    for (std::size_t i = 2; i < fds.size(); ++i) {
      if (fds[i].revents != 0 && !ServeReadable(&connections_[i - 2])) {
        CloseFd(&connections_[i - 2].fd);
        if (callbacks_.on_disconnect) callbacks_.on_disconnect();
      }
    }
    connections_.erase(std::remove_if(connections_.begin(), connections_.end(),
                                      [](const Connection& c) { return c.fd < 0; }),
                       connections_.end());
    if (fds[1].revents & POLLIN) AcceptConnection();
  }
  CloseAll();
  std::lock_guard<std::mutex> lock(close_mutex_);
  running_ = false;
  close_done_.notify_all();
}

void LinkListener::HandleWake() {
  char drain[64];
  while (read(wake_read_fd_, drain, sizeof(drain)) > 0) {
  }
  uint64_t requested;
  {
    std::lock_guard<std::mutex> lock(close_mutex_);
    requested = close_requests_;
    if (close_handled_ >= requested) return;
  }
  CloseAll();
  std::lock_guard<std::mutex> lock(close_mutex_);
  close_handled_ = requested;
  close_done_.notify_all();
}

void LinkListener::AcceptConnection() {
  const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return;
  // The split answers must leave as separate segments.
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
  connections_.push_back({fd, bottom_interact_center::FrameAssembler(kMaxPayload)});
  if (callbacks_.on_connect) callbacks_.on_connect();
}

bool LinkListener::ServeReadable(Connection* connection) {
  uint8_t buffer[kReadSize];
  const ssize_t n = recv(connection->fd, buffer, sizeof(buffer), 0);
  if (n < 0 && errno == EINTR) return true;
  if (n <= 0) return false;
  connection->assembler.Append(buffer, static_cast<std::size_t>(n));
  return ServeFrames(connection);
}

bool LinkListener::ServeFrames(Connection* connection) {
  std::string payload;
  while (true) {
    switch (connection->assembler.Next(&payload)) {
      case bottom_interact_center::FrameAssembler::Result::kNeedMore:
        return true;
      case bottom_interact_center::FrameAssembler::Result::kOversize:
        if (callbacks_.on_oversize) callbacks_.on_oversize();
        return true;
      case bottom_interact_center::FrameAssembler::Result::kFrame:
        if (!Execute(callbacks_.on_frame(payload), connection->fd)) return false;
        break;
    }
  }
}

// Before a close, the last write is held back to leave in one segment with the close. A board
// whose close trails its answer lets a command that follows at once go out on the closing link;
// the board then resets it, and a command the node sends only once is lost. The port is closed
// before the connection, so the peer that sees the close is refused when it connects again.
bool LinkListener::Execute(const ReplyPlan& plan, int fd) {
  for (std::size_t i = 0; i < plan.writes.size(); ++i) {
    if (i > 0 && plan.pause_between_writes) std::this_thread::sleep_for(write_pause_);
    const bool last = i + 1 == plan.writes.size();
    if (!WriteAll(fd, plan.writes[i], last && plan.close_connection ? MSG_MORE : 0)) return false;
  }
  if (plan.stop_listening) CloseFd(&listen_fd_);  // poll ignores the -1 from now on
  return !plan.close_connection;
}

void LinkListener::CloseAll() {
  for (auto& connection : connections_) {
    CloseFd(&connection.fd);
    if (callbacks_.on_disconnect) callbacks_.on_disconnect();
  }
  connections_.clear();
}

}  // namespace board_sim
