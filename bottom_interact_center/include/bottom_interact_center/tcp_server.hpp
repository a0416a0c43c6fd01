// A listening TCP socket whose connections are served one at a time on a thread of its own.
#ifndef BOTTOM_INTERACT_CENTER__TCP_SERVER_HPP_
#define BOTTOM_INTERACT_CENTER__TCP_SERVER_HPP_

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "bottom_interact_center/tcp_socket.hpp"

namespace bottom_interact_center {

// The accept thread binds and listens (a failure there ends the process), then hands each
// accepted connection to HandleAccept and accepts the next one only when it has returned.
class TcpServer : public TcpSocket {
public:
  TcpServer(const std::string& ip, int port, int backlog);
  ~TcpServer() override;
  TcpServer(const TcpServer&) = delete;
  TcpServer& operator=(const TcpServer&) = delete;

  // Socket and options (address reuse included), then the accept thread.
  bool Init();
  // The accept thread's body: returns only when the server is being destroyed.
  void Start();
  // Serves one accepted connection; this one closes it at once.
  virtual bool HandleAccept(int* fd);
  // Closes fd when it is open and sets it to -1.
  void Close(int& fd);
  // Ends the server's threads and waits for them, so that none uses the node afterwards. Also
  // done by the destructor; a second call does nothing.
  virtual void Stop() { StopAccepting(); }

protected:
  // Ends the accept thread, waking it from accept or from a read on the connection it serves,
  // and waits for it. A subclass calls it first in its destructor, so that HandleAccept never
  // runs in a half-destroyed object.
  void StopAccepting();
  bool Stopping() const { return stopping_; }

  std::string ip_;
  int port_;
  int sock_fd_ = -1;
  int backlog_;

private:
  void BindAndListen();
  void ServeConnection(int fd);

  std::atomic<bool> stopping_{false};
  // The connection HandleAccept is serving, so that StopAccepting can wake its reads.
  std::mutex connection_mutex_;
  int connection_fd_ = -1;
  std::thread accept_thread_;
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__TCP_SERVER_HPP_
