// A ROS service served by a command-line stand-in of the node's peers: it prints each request
// and answers it at once, late, or not at all.
#ifndef ROS_TOOLS_SERVICE_STANDIN_HPP_
#define ROS_TOOLS_SERVICE_STANDIN_HPP_

#include <chrono>
#include <cstdint>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include <rclcpp/rclcpp.hpp>

#include "ros_tools/request_tally.hpp"
#include "ros_tools/stand_in_options.hpp"

namespace ros_tools {

// Requests held at once (late or never answered) before further ones wait unprinted: each
// holds an executor thread, since a service callback answers when it returns.
constexpr std::size_t kHeldRequests = 16;

// Serves service_name until SIGINT or SIGTERM. describe(request) is the line printed for each
// request; answer(response, value) fills the answer with the --result or --status value.
template <typename ServiceT, typename Describe, typename Answer>
int RunStandIn(int argc, char** argv, const char* program, const char* service_name,
               const StandInOptions& options, Describe describe, Answer answer) {
  rclcpp::init(argc, argv);
  auto node = rclcpp::Node::make_shared(program);
  RequestTally tally(options.count_only);
  const auto delay = std::chrono::duration<double>(options.delay_seconds);
  // Kept here: the node holds its callback groups only weakly, and a group that is gone takes its
  // service out of every executor.
  const auto group = node->create_callback_group(rclcpp::CallbackGroupType::Reentrant);
  auto service = node->create_service<ServiceT>(
      service_name,
      [&](const std::shared_ptr<typename ServiceT::Request> request,
          std::shared_ptr<typename ServiceT::Response> response) {
        tally.Record([&] { return describe(*request); });
        const auto until = std::chrono::steady_clock::now() + delay;
        // Silent: held until ROS shuts down, so the caller sees no answer in time.
        while (rclcpp::ok() && (options.silent || std::chrono::steady_clock::now() < until)) {
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        answer(response.get(), options.answer);
      },
      rmw_qos_profile_services_default, group);
  rclcpp::executors::MultiThreadedExecutor executor(rclcpp::ExecutorOptions(), kHeldRequests);
  executor.add_node(node);
  std::cerr << program << ": serving " << service_name
            << (options.silent ? " (silent)" : ", answering " + std::to_string(options.answer))
            << std::endl;
  executor.spin();
  rclcpp::shutdown();
  return 0;
}

}  // namespace ros_tools

#endif  // ROS_TOOLS_SERVICE_STANDIN_HPP_
