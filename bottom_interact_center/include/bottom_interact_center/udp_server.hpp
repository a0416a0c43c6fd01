// A bound UDP socket whose datagrams are handled one at a time on a thread of its own.
#ifndef BOTTOM_INTERACT_CENTER__UDP_SERVER_HPP_
#define BOTTOM_INTERACT_CENTER__UDP_SERVER_HPP_

#include <atomic>
#include <string>
#include <thread>

#include "bottom_interact_center/source_health.hpp"

namespace bottom_interact_center {

// The receive thread binds (a failure there ends the process) and passes every datagram, cut to
// kMaxDatagram bytes, to HandleData in arrival order. Nothing is ever sent back.
class UdpServer {
public:
  static constexpr int kMaxDatagram = 10240;

  UdpServer(const std::string& ip, int port);
  virtual ~UdpServer();
  UdpServer(const UdpServer&) = delete;
  UdpServer& operator=(const UdpServer&) = delete;

  // The socket, then the receive thread.
  bool Init();
  // The receive thread's body: returns only when the server is being destroyed.
  void Start();
  // One datagram; the bytes behind the len received ones are zero.
  virtual bool HandleData(const char* data, int len);
  // Ends the server's threads and waits for them, so that none uses the node afterwards. Also
  // done by the destructor; a second call does nothing.
  virtual void Stop() { StopReceiving(); }
  // Datagrams taken and those that did not parse, with the time of the last one taken.
  const SourceHealth& Health() const { return health_; }

protected:
  // Ends the receive thread and waits for it. A subclass calls it first in its destructor, so
  // that HandleData never runs in a half-destroyed object.
  void StopReceiving();
  // Counts a datagram as taken or unreadable; returns parsed.
  bool CountParsed(bool parsed);

  std::string ip_;
  int port_;
  int sock_fd_ = -1;

private:
  void Bind();
  // Logs a failed receive and pauses; an interrupted or timed-out one is retried at once.
  void ReportReceiveFailure(int error);

  SourceHealth health_;
  std::atomic<bool> stopping_{false};
  std::thread receive_thread_;
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__UDP_SERVER_HPP_
