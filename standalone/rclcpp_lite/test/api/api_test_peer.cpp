// The other process of the API tests, configured by parameters:
//   role:=server  serves BottomInteractSrv on `name`; the answer echoes the request (status =
//                 cmd + 1000, message naming cmd, station.cmd and top_led.mode) after sleeping
//                 self_clean_time ms.
//   role:=talker  publishes RobotEvent on `name` every 20 ms: event_type 7, event_code counting
//                 up.
// Both spin (a MultiThreadedExecutor, rclcpp::spin) until SIGINT/SIGTERM, then exit 0.
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "rclcpp/rclcpp.hpp"
#include "velmoria_protocol/msg/robot_event.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

namespace {

using velmoria_protocol::msg::RobotEvent;
using velmoria_protocol::srv::BottomInteractSrv;

void answer(const std::shared_ptr<BottomInteractSrv::Request> request,
            std::shared_ptr<BottomInteractSrv::Response> response) {
  // The delay stands for a slow board: the tests call with it to see late answers.
  std::this_thread::sleep_for(std::chrono::milliseconds(request->self_clean_time));
  response->status = request->cmd + 1000;
  response->message = "cmd " + std::to_string(request->cmd) + " station " +
                      std::to_string(request->station.cmd) + " led " +
                      std::to_string(request->top_led.mode);
}

/// Publishes until the context shuts down.
void talk(const rclcpp::Node::SharedPtr& node,
          const rclcpp::Publisher<RobotEvent>::SharedPtr& publisher) {
  RobotEvent event;
  event.header.frame_id = "talker";
  event.event_type = 7;
  rclcpp::Clock clock(RCL_SYSTEM_TIME);
  while (rclcpp::ok()) {
    event.header.stamp = clock.now();
    event.event_code += 1;
    publisher->publish(event);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  RCLCPP_INFO(node->get_logger(), "talker stopped after %d events", event.event_code);
}

/// Serves on a MultiThreadedExecutor until shutdown.
void serve(const rclcpp::Node::SharedPtr& node, const std::string& name) {
  auto executor = std::make_shared<rclcpp::executors::MultiThreadedExecutor>(
      rclcpp::ExecutorOptions(), 4, true);
  executor->add_node(node);
  auto service = node->create_service<BottomInteractSrv>(name, &answer);
  executor->spin();
}

/// Publishes from a thread of its own while rclcpp::spin runs, until shutdown.
void publish(const rclcpp::Node::SharedPtr& node, const std::string& name) {
  auto publisher = node->create_publisher<RobotEvent>(name, 10);
  std::thread talker(talk, node, publisher);
  rclcpp::spin(node);
  talker.join();
}

}  // namespace

int main(int argc, char** argv) {
  rclcpp::init(argc, argv, rclcpp::InitOptions(rcutils_get_default_allocator()),
               rclcpp::SignalHandlerOptions::All);
  auto node = std::make_shared<rclcpp::Node>("api_test_peer");
  const std::string role =
      node->declare_parameter("role", rclcpp::ParameterValue("server")).get<std::string>();
  const std::string name =
      node->declare_parameter("name", rclcpp::ParameterValue("bottom_operate")).get<std::string>();
  if (role == "server") {
    serve(node, name);
  } else {
    publish(node, name);
  }
  rclcpp::shutdown();
  return 0;
}
