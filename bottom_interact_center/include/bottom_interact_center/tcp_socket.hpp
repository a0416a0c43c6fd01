// Socket primitives shared by the TCP endpoints of the board links.
#ifndef BOTTOM_INTERACT_CENTER__TCP_SOCKET_HPP_
#define BOTTOM_INTERACT_CENTER__TCP_SOCKET_HPP_

#include <cstdint>

namespace bottom_interact_center {

// Stateless: every operation works on the descriptor it is given, so one object serves its own
// socket and connections it does not own. Descriptors are never closed here.
class TcpSocket {
public:
  static constexpr int kRecvTimeoutSeconds = 10;

  virtual ~TcpSocket() = default;

  // fd := a new IPv4 TCP socket; true when one was created.
  bool CreateSocket(int& fd);
  // Keep-alive probing, 3 s send and 10 s receive time-outs, and address reuse when asked.
  virtual bool SetSockOpt(int fd, bool reuse_addr);
  // Writes all len bytes; false on the first failing write. Never raises SIGPIPE.
  bool SendData(int fd, const uint8_t* data, unsigned len);
  // One read of at most cap bytes: the count, 0 when the peer closed, -1 on error or time-out.
  int RecvData(int fd, uint8_t* buf, unsigned cap);
  // True when the kernel reports the connection established; otherwise publishes the link-lost
  // diagnostic event.
  bool IsConnected(int fd);
  // Bytes received on fd and not read yet, whatever the connection's state (a peer's close or
  // reset leaves what came before it readable).
  static int UnreadBytes(int fd);
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__TCP_SOCKET_HPP_
