#include "unanswered_port.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace node_test {
namespace {

constexpr int kQueueFillers = 4;
constexpr int kHangCheckMs = 300;

sockaddr_in AddressOf(const std::string& address, uint16_t port) {
  sockaddr_in socket_address{};
  socket_address.sin_family = AF_INET;
  socket_address.sin_port = htons(port);
  inet_pton(AF_INET, address.c_str(), &socket_address.sin_addr);
  return socket_address;
}

// A connect under way on a non-blocking socket; the descriptor.
int StartConnect(const sockaddr_in& address) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd >= 0) {
    connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  }
  return fd;
}

}  // namespace

UnansweredPort::UnansweredPort(const std::string& address, uint16_t port)
    : address_(address), port_(port) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  const sockaddr_in bound = AddressOf(address_, port_);
  if (listener_ < 0 || bind(listener_, reinterpret_cast<const sockaddr*>(&bound), sizeof(bound)) ||
      listen(listener_, 0) != 0) {
    if (listener_ >= 0) {
      close(listener_);
    }
    throw std::runtime_error("cannot listen on " + address_ + ":" + std::to_string(port_));
  }
  // A backlog of 0 queues one connection; the others' requests are dropped from then on.
  for (int i = 0; i < kQueueFillers; ++i) {
    queued_.push_back(StartConnect(bound));
  }
  if (!ConnectHangs()) {
    Release();
    throw std::runtime_error(address_ + ":" + std::to_string(port_) + " still takes connections");
  }
}

UnansweredPort::~UnansweredPort() {
  Release();
}

void UnansweredPort::Release() {
  for (const int fd : queued_) {
    close(fd);
  }
  queued_.clear();
  if (listener_ >= 0) {
    close(listener_);
    listener_ = -1;
  }
}

bool UnansweredPort::ConnectHangs() const {
  const int probe = StartConnect(AddressOf(address_, port_));
  pollfd entry{probe, POLLOUT, 0};
  const bool hangs = poll(&entry, 1, kHangCheckMs) == 0;
  close(probe);
  return hangs;
}

}  // namespace node_test
