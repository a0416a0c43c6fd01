#ifndef BOARD_SIM_SOCKET_IO_HPP_
#define BOARD_SIM_SOCKET_IO_HPP_

#include <sys/socket.h>

#include <cerrno>
#include <string>

namespace board_sim {

// Writes every byte to a connected socket; false when the peer is gone. Never raises SIGPIPE.
// flags are added to every send (MSG_MORE holds the bytes back for what follows).
inline bool WriteAll(int fd, const std::string& bytes, int flags = 0) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | flags);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace board_sim

#endif  // BOARD_SIM_SOCKET_IO_HPP_
