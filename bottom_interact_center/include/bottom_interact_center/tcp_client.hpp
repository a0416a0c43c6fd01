// One TCP connection from this computer to a command port of the board.
#ifndef BOTTOM_INTERACT_CENTER__TCP_CLIENT_HPP_
#define BOTTOM_INTERACT_CENTER__TCP_CLIENT_HPP_

#include <cstdint>
#include <string>

#include "bottom_interact_center/source_health.hpp"
#include "bottom_interact_center/tcp_socket.hpp"

namespace bottom_interact_center {

// Repairs itself: every send and receive first checks the connection and, when it is no longer
// established, reconnects (announcing link lost and restored on the task-center diagnostic topic).
// Not thread safe: callers serialise the calls on one client.
class TcpClient : public TcpSocket {
public:
  // What becomes of the board's bytes on the link: read by the caller (answers awaited), or
  // dropped while a send waits for room (a link whose answers nobody reads).
  enum class Incoming { kRead, kDropped };

  TcpClient(const std::string& ip, const int& port, Incoming incoming = Incoming::kRead);
  ~TcpClient() override;
  TcpClient(const TcpClient&) = delete;
  TcpClient& operator=(const TcpClient&) = delete;

  // Socket, options, connect, link-restored event.
  bool Init();
  // One connection attempt on the current socket.
  bool Connect();
  void Close();
  bool SendData(const uint8_t* data, unsigned len);
  // As TcpSocket::RecvData; -1 also when ROS shuts down while it waits.
  int RecvData(uint8_t* buf, unsigned cap);
  // Reads and drops what the socket holds now, without waiting; the number of bytes dropped.
  int DiscardReceived();
  // Connections established so far; changes whenever the link has been rebuilt, so a reader can
  // drop bytes of an earlier connection.
  uint64_t ConnectionCount() const { return connection_count_; }
  // The link's state, connections, losses, failed sends and receives, and when the board last
  // sent something; whoever awaits answers adds the time-outs and the answers that did not parse.
  SourceHealth& Health() { return health_; }

private:
  // Closes the socket and builds a new connection; false when that failed.
  bool Reconnect();
  // Rebuilds the link when it is no longer established; false when that failed.
  bool EnsureConnected();
  // As EnsureConnected, but keeps a closed link that still holds unread bytes, so they are read.
  bool EnsureReadable();
  // Waits up to the receive time-out for the socket to be readable (data, end or error), in
  // short slices, so that a quiet board does not hold up the process's stop for the whole wait.
  // False after the time-out or once ROS has shut down.
  bool AwaitReadable() const;
  // IsConnected, counting a link found down.
  bool LinkUp();
  // Counts what the board sent, when it sent something.
  void CountReceived(int bytes);

  std::string ip_;
  int port_;
  Incoming incoming_;
  int sock_fd_ = -1;
  uint64_t connection_count_ = 0;
  SourceHealth health_;
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__TCP_CLIENT_HPP_
