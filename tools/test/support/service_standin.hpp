// A ROS service served by the test process the way the robot's peer would, recording every
// request: it answers at once, answers late, or holds its answer back.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__SERVICE_STANDIN_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__SERVICE_STANDIN_HPP_

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "rclcpp/rclcpp.hpp"

namespace node_test {

using namespace std::chrono_literals;

template <typename ServiceT>
class ServiceStandIn {
public:
  using Request = typename ServiceT::Request;
  using Response = typename ServiceT::Response;

  // group: Reentrant, so that a held answer does not hold the others back.
  ServiceStandIn(rclcpp::Node& node, const std::string& name,
                 rclcpp::CallbackGroup::SharedPtr group) {
    service_ = node.create_service<ServiceT>(
        name,
        [this](const std::shared_ptr<Request> request, std::shared_ptr<Response> response) {
          Serve(*request, response.get());
        },
        rmw_qos_profile_services_default, group);
  }
  ~ServiceStandIn() { Release(); }

  // The answer to every later request, given after delay (requests waiting already keep theirs).
  void AnswerWith(const Response& answer, std::chrono::milliseconds delay = 0ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    answer_ = answer;
    delay_ = delay;
  }
  // Holds every answer back until Release (or destruction).
  void Hold() { AnswerWith(answer_, 24h); }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    delay_ = 0ms;
    changed_.notify_all();
  }

  // Waits until count requests arrived; returns all received so far.
  std::vector<Request> WaitFor(std::size_t count, std::chrono::milliseconds timeout = 10s) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
    return requests_;
  }
  std::vector<Request> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
  }

private:
  void Serve(const Request& request, Response* response) {
    std::unique_lock<std::mutex> lock(mutex_);
    requests_.push_back(request);
    changed_.notify_all();
    // The answer set when the request came, even when a later AnswerWith changes it meanwhile.
    const Response answer = answer_;
    const auto until = std::chrono::steady_clock::now() + delay_;
    changed_.wait_until(lock, until, [&] { return delay_ == 0ms; });
    *response = answer;
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Request> requests_;
  Response answer_;
  std::chrono::milliseconds delay_{0};
  typename rclcpp::Service<ServiceT>::SharedPtr service_;
};

}  // namespace node_test

#endif  // BOTTOM_INTERACT_TOOLS_TEST__SERVICE_STANDIN_HPP_
