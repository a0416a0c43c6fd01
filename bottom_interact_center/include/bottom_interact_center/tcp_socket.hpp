// Socket primitives shared by the TCP endpoints of the board links.
#ifndef BOTTOM_INTERACT_CENTER__TCP_SOCKET_HPP_
#define BOTTOM_INTERACT_CENTER__TCP_SOCKET_HPP_

#include <poll.h>

#include <chrono>
#include <cstdint>

namespace bottom_interact_center {

// Stateless: every operation works on the descriptor it is given, so one object serves its own
// socket and connections it does not own. Descriptors are never closed here.
class TcpSocket {
public:
  static constexpr int kRecvTimeoutSeconds = 10;
  // Bounds a connect, and a send that makes no progress.
  static constexpr int kSendTimeoutSeconds = 3;
  // Blocking waits are cut into slices of this length, so that a stop does not wait them out.
  static constexpr int kWaitSliceMs = 50;

  virtual ~TcpSocket() = default;

  // fd := a new IPv4 TCP socket; true when one was created.
  bool CreateSocket(int& fd);
  // Keep-alive probing, 3 s send and 10 s receive time-outs, and address reuse when asked.
  virtual bool SetSockOpt(int fd, bool reuse_addr);
  // Writes all len bytes; false on a failing write, after the send time-out without progress, or
  // once ROS has shut down (quietly then). Never raises SIGPIPE. With dropped given, what the peer
  // sends meanwhile is read and dropped, and counted there: a peer that waits for us to read
  // before it reads itself cannot then hold the send until its time-out.
  bool SendData(int fd, const uint8_t* data, unsigned len, int* dropped = nullptr);
  // One read of at most cap bytes: the count, 0 when the peer closed, -1 on error or time-out.
  int RecvData(int fd, uint8_t* buf, unsigned cap);
  // True when the kernel reports the connection established; otherwise publishes the link-lost
  // diagnostic event.
  bool IsConnected(int fd);
  // Bytes received on fd and not read yet, whatever the connection's state (a peer's close or
  // reset leaves what came before it readable).
  static int UnreadBytes(int fd);
  // Reads and drops what fd holds now, without waiting; the number of bytes dropped. Bounded by
  // what is there at the start, so a peer that keeps sending cannot hold the caller.
  static int DropReceived(int fd);
  // Polls for entry's events in slices until one is reported, give_up_at passes or ROS shuts
  // down: poll's result, or 0 at the time-out or the stop. Interrupted slices are repeated.
  static int PollWhileRosRuns(pollfd* entry, std::chrono::steady_clock::time_point give_up_at);

private:
  // Waits in slices until fd can take more bytes (or has failed), dropping what arrives when
  // dropped is given. False at give_up_at or once ROS has shut down.
  static bool AwaitRoom(int fd, std::chrono::steady_clock::time_point give_up_at, int* dropped);
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__TCP_SOCKET_HPP_
