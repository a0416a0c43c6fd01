// Reads and drops what the board sends on a command link whose answers nobody waits for.
#ifndef BOTTOM_INTERACT_CENTER__LINK_DRAIN_HPP_
#define BOTTOM_INTERACT_CENTER__LINK_DRAIN_HPP_

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "bottom_interact_center/stop_signal.hpp"
#include "bottom_interact_center/tcp_client.hpp"
#include "rclcpp/rclcpp.hpp"

namespace bottom_interact_center {

// Left unread, the board's answers would fill the link until its sends block, and a board blocked
// between two commands is a board that does not act on the last one. So a thread of this object
// empties the link every kPeriod, logging each drop at DEBUG, until the object goes or ROS shuts
// down. It holds no pointer to the node, so it may outlive it.
class LinkDrain {
public:
  static constexpr std::chrono::milliseconds kPeriod{100};

  // link_mutex is the mutex every command on the link holds for its whole run: a pass that finds
  // it held is skipped, the command's own send being unaffected by what waits to be read. A null
  // client (no link made) starts no thread. link_name begins the DEBUG line.
  LinkDrain(std::mutex& link_mutex, std::shared_ptr<TcpClient> client, rclcpp::Logger logger,
            std::string link_name);
  // Returns once the thread has ended.
  ~LinkDrain();
  LinkDrain(const LinkDrain&) = delete;
  LinkDrain& operator=(const LinkDrain&) = delete;

private:
  void Run();
  void DrainUnlessInUse();

  std::mutex& link_mutex_;
  std::shared_ptr<TcpClient> client_;
  rclcpp::Logger logger_;
  std::string link_name_;
  StopSignal stop_;
  std::thread thread_;
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__LINK_DRAIN_HPP_
