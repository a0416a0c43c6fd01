// The program's ROS 2 node: the board links, the ROS endpoints and the parameters.
#ifndef BOTTOM_INTERACT_CENTER__BOTTOM_INTERACT_CENTER_HPP_
#define BOTTOM_INTERACT_CENTER__BOTTOM_INTERACT_CENTER_HPP_

#include <memory>
#include <string>

#include "bottom_interact_center/tcp_client.hpp"
#include "rclcpp/rclcpp.hpp"
#include "velmoria_protocol/msg/diagnostic_event.hpp"
#include "velmoria_protocol/msg/robot_event.hpp"
#include "velmoria_protocol/srv/robot_info_update.hpp"
#include "velmoria_protocol/srv/task_center_srv.hpp"

namespace bottom_interact_center {

// Every member is set once by Init on the main thread before the executor spins and only read
// afterwards, so the node needs no lock.
class BottomInteractCenter : public rclcpp::Node {
public:
  BottomInteractCenter();

  // Sets up the ROS endpoints, the board links and the parameters, in that order.
  bool Init();

  std::shared_ptr<TcpClient> GetProcterClient() const { return procter_client_; }
  std::shared_ptr<TcpClient> GetLightClient() const { return light_client_; }

  void PublishRobotEvent(int32_t event_code);
  // Stamps the event with the system time before publishing it.
  void PublishTaskCenterDiag(velmoria_protocol::msg::DiagnosticEvent event);
  void PublishBodyDriverDiag(const velmoria_protocol::msg::DiagnosticEvent& event);

  // The value of a declared parameter or, for one that is not declared, the value given at
  // start-up (command line or parameter file). False when there is neither.
  bool GetParameterOrOverride(const std::string& name, rclcpp::ParameterValue* value);

private:
  void ConnectBoardLinks();
  void DeclareParameters();

  std::shared_ptr<TcpClient> procter_client_;
  std::shared_ptr<TcpClient> light_client_;
  rclcpp::CallbackGroup::SharedPtr callback_group_;
  rclcpp::Client<velmoria_protocol::srv::TaskCenterSrv>::SharedPtr task_center_srv_client_;
  rclcpp::Client<velmoria_protocol::srv::RobotInfoUpdate>::SharedPtr robot_info_update_client_;
  rclcpp::Publisher<velmoria_protocol::msg::RobotEvent>::SharedPtr robot_event_pub_;
  rclcpp::Publisher<velmoria_protocol::msg::DiagnosticEvent>::SharedPtr task_center_diag_pub_;
  rclcpp::Publisher<velmoria_protocol::msg::DiagnosticEvent>::SharedPtr body_driver_diag_pub_;
};

// The process-wide node through which every class logs, publishes and reaches the links.
extern std::shared_ptr<BottomInteractCenter> g_node;

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__BOTTOM_INTERACT_CENTER_HPP_
