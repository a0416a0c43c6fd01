#ifndef BOARD_SIM_LINK_LISTENER_HPP_
#define BOARD_SIM_LINK_LISTENER_HPP_

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "board_sim/reply_plan.hpp"
#include "bottom_interact_center/frame_assembler.hpp"

namespace board_sim {

// One listening TCP port of the simulated board with its own thread. The thread accepts any
// number of connections, cuts frames out of each and writes back what the frame handler plans.
class LinkListener {
public:
  struct Callbacks {
    std::function<ReplyPlan(const std::string& payload)> on_frame;
    std::function<void()> on_connect;
    std::function<void()> on_disconnect;
    std::function<void()> on_oversize;  // a frame declared more than 4094 bytes
  };

  LinkListener(std::string address, uint16_t port, std::chrono::milliseconds write_pause,
               Callbacks callbacks);
  ~LinkListener();
  LinkListener(const LinkListener&) = delete;
  LinkListener& operator=(const LinkListener&) = delete;

  // Binds and listens, then starts the thread. False and *reason when the port cannot be used.
  bool Start(std::string* reason);
  void Stop();
  // The bound port (the kernel's choice when constructed with port 0).
  uint16_t port() const { return port_; }
  // Closes every open connection; returns once the listener thread has done it.
  void CloseConnections();

private:
  struct Connection {
    int fd;
    bottom_interact_center::FrameAssembler assembler;
  };

  bool OpenListeningSocket(std::string* reason);
  void Run();
  void Wake();
  void HandleWake();
  void AcceptConnection();
  // False when the connection is finished (peer closed, error, or a plan that closes it).
  bool ServeReadable(Connection* connection);
  bool ServeFrames(Connection* connection);
  bool Execute(const ReplyPlan& plan, int fd);
  void CloseAll();

  const std::string address_;
  uint16_t port_;
  const std::chrono::milliseconds write_pause_;
  const Callbacks callbacks_;

  int listen_fd_ = -1;
  int wake_read_fd_ = -1;
  int wake_write_fd_ = -1;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::vector<Connection> connections_;  // listener thread only

  std::mutex close_mutex_;
  std::condition_variable close_done_;
  uint64_t close_requests_ = 0;
  uint64_t close_handled_ = 0;
  bool running_ = false;
};

}  // namespace board_sim

#endif  // BOARD_SIM_LINK_LISTENER_HPP_
