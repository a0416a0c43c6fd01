#include "loopback_server.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <thread>
#include <vector>

#include "bottom_interact_center/board_frame.hpp"

namespace bottom_interact_center::test {
namespace {

bool WaitReadable(int fd, std::chrono::milliseconds timeout) {
  pollfd entry{fd, POLLIN, 0};
  return poll(&entry, 1, static_cast<int>(timeout.count())) == 1;
}

int TcpState(int fd) {
  tcp_info info{};
  socklen_t len = sizeof(info);
  return getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &len) == 0 ? info.tcpi_state : -1;
}

}  // namespace

LoopbackServer::LoopbackServer() {
  listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof(address);
  if (listen_fd_ < 0 || bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), len) != 0 ||
      listen(listen_fd_, 8) != 0 ||
      getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &len) != 0) {
    throw std::runtime_error("loopback server cannot listen");
  }
  port_ = ntohs(address.sin_port);
}

LoopbackServer::~LoopbackServer() {
  StopListening();
  for (int conn : connections_) {
    close(conn);
  }
}

int LoopbackServer::Accept(std::chrono::milliseconds timeout) {
  if (listen_fd_ < 0 || !WaitReadable(listen_fd_, timeout)) {
    return -1;
  }
  const int conn = accept(listen_fd_, nullptr, nullptr);
  if (conn >= 0) {
    connections_.push_back(conn);
  }
  return conn;
}

void LoopbackServer::StopListening() {
  if (listen_fd_ >= 0) {
    close(listen_fd_);
    listen_fd_ = -1;
  }
}

bool LoopbackServer::ReadExactly(int conn, std::size_t n, std::string* bytes,
                                 std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  bytes->clear();
  char buf[4096];
  while (bytes->size() < n) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !WaitReadable(conn, left)) {
      return false;
    }
    const ssize_t r = read(conn, buf, std::min(sizeof(buf), n - bytes->size()));
    if (r <= 0) {
      return false;
    }
    bytes->append(buf, static_cast<std::size_t>(r));
  }
  return true;
}

bool LoopbackServer::ReadRequest(int conn, cleaning_component::CleaningComponentRequest* request,
                                 std::chrono::milliseconds timeout) {
  std::string header;
  std::string payload;
  if (!ReadExactly(conn, BoardFrame::kHeaderSize, &header, timeout)) {
    return false;
  }
  const uint16_t len = BoardFrame::ReadLength(reinterpret_cast<const uint8_t*>(header.data()));
  return ReadExactly(conn, len, &payload, timeout) && request->ParseFromString(payload);
}

void LoopbackServer::Write(int conn, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t r = send(conn, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (r < 0) {
      throw std::runtime_error("loopback server cannot write");
    }
    sent += static_cast<std::size_t>(r);
  }
}

void LoopbackServer::CloseAndWaitSeen(int conn) {
  shutdown(conn, SHUT_WR);
  // Our FIN acknowledged (the peer may have closed too): its kernel no longer calls the link
  // established.
  const auto acknowledged = [conn] {
    const int state = TcpState(conn);
    return state == TCP_FIN_WAIT2 || state == TCP_TIME_WAIT || state == TCP_CLOSE;
  };
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (!acknowledged() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::yield();
  }
}

void LoopbackServer::Close(int conn) {
  connections_.erase(std::remove(connections_.begin(), connections_.end(), conn),
                     connections_.end());
  close(conn);
}

std::string Frame(const google::protobuf::MessageLite& message) {
  std::vector<uint8_t> frame;
  BoardFrame::Encode(message, &frame);
  return std::string(frame.begin(), frame.end());
}

cleaning_component::CleaningComponentResponse Answer(int32_t request_id, int32_t err_code) {
  cleaning_component::CleaningComponentResponse answer;
  answer.set_response_id(request_id);
  if (err_code != 0) {
    answer.mutable_error()->set_err_code(err_code);
  }
  return answer;
}

}  // namespace bottom_interact_center::test
