// An executor spinning on a thread of its own until the SpinThread is destroyed.
#ifndef ROS_TOOLS_SPIN_THREAD_HPP_
#define ROS_TOOLS_SPIN_THREAD_HPP_

#include <chrono>
#include <future>
#include <thread>

#include <rclcpp/rclcpp.hpp>

namespace ros_tools {

class SpinThread {
public:
  explicit SpinThread(rclcpp::Executor& executor)
      : executor_(executor), ended_future_(ended_.get_future()), thread_([this] {
          executor_.spin();
          ended_.set_value();
        }) {}

  // A cancel() that comes before the thread has entered spin() is lost, and spin() would then run
  // for good: cancel until spin() has returned.
  ~SpinThread() {
    do {
      executor_.cancel();
    } while (ended_future_.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready);
    thread_.join();
  }

  SpinThread(const SpinThread&) = delete;
  SpinThread& operator=(const SpinThread&) = delete;

private:
  rclcpp::Executor& executor_;
  std::promise<void> ended_;
  std::future<void> ended_future_;
  std::thread thread_;
};

}  // namespace ros_tools

#endif  // ROS_TOOLS_SPIN_THREAD_HPP_
