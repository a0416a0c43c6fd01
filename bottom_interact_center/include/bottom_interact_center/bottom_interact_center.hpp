// The program's ROS 2 node: the board links, the ROS endpoints and the parameters.
#ifndef BOTTOM_INTERACT_CENTER__BOTTOM_INTERACT_CENTER_HPP_
#define BOTTOM_INTERACT_CENTER__BOTTOM_INTERACT_CENTER_HPP_

#include <memory>
#include <string>

#include "bottom_interact_center/board_diagnostics.hpp"
#include "bottom_interact_center/group_spinner.hpp"
#include "bottom_interact_center/source_health.hpp"
#include "bottom_interact_center/tcp_client.hpp"
#include "rclcpp/rclcpp.hpp"
#include "robot/cleaning_component.pb.h"
#include "robot/motor_data.pb.h"
#include "robot/robot.pb.h"
#include "robot/sensor_data.pb.h"
#include "velmoria_protocol/msg/diagnostic_event.hpp"
#include "velmoria_protocol/msg/robot_event.hpp"
#include "velmoria_protocol/srv/robot_info_update.hpp"
#include "velmoria_protocol/srv/task_center_srv.hpp"

namespace bottom_interact_center {

class CmdReportServer;
class RobotInfoServer;
class MotorDataServer;

// Every member is set once by Init on the main thread before the executor spins and only read
// afterwards (the clients' spinner is stopped once the listeners have ended), so the node needs no
// lock.
class BottomInteractCenter : public rclcpp::Node {
public:
  BottomInteractCenter();

  // Sets up the ROS endpoints, the board links, the board listeners, the parameters and the
  // health reporting on /diagnostics, in that order. False when a listener could not start (the
  // parameters are then not declared, and nothing is reported).
  bool Init();
  // Ends the board listeners' threads, each after the service call it may be waiting in (ROS
  // shutdown ends those waits), then the thread that serves their calls' answers: called before
  // the node is released, so that no thread uses it.
  void StopBoardListeners();

  std::shared_ptr<TcpClient> GetProcterClient() const { return procter_client_; }
  std::shared_ptr<TcpClient> GetLightClient() const { return light_client_; }

  void PublishRobotEvent(int32_t event_code);
  // Stamps the event with the system time before publishing it.
  void PublishTaskCenterDiag(velmoria_protocol::msg::DiagnosticEvent event);
  void PublishBodyDriverDiag(const velmoria_protocol::msg::DiagnosticEvent& event);

  // Task-center commands on "do_task": true when the task center accepted. Each blocks the
  // calling thread for up to 11 s, so they are for listener threads, never executor threads.
  bool SendPauseSingle();
  bool SendPauseTask();
  bool SendRecoveryTask();
  bool SendReturnCharge();

  // Board data to "robot_info_update": true when the service answered in time with status 0.
  // Blocking like the task-center commands.
  bool ReportRobotInfo(const robot::RobotInfo& robot_info);
  bool ReportCleanRobotReport(const cleaning_component::CleanRobotReport& report);
  bool ReportSensorData(const bottom_internal::SensorDataProto& sensor_data);
  bool ReportMotorData(const motor_data::MotorDataRep& motor_data);

  // The value of a declared parameter or, for one that is not declared, the value given at
  // start-up (command line or parameter file). False when there is neither.
  bool GetParameterOrOverride(const std::string& name, rclcpp::ParameterValue* value);

private:
  struct TaskCommand;

  void ConnectBoardLinks();
  bool StartBoardListeners();
  void DeclareParameters();
  bool SendTaskCommand(const TaskCommand& command);
  // What /diagnostics reports on: both command links, the listeners, the battery unit, the peers.
  std::vector<BoardDiagnostics::Source> HealthSources();

  std::shared_ptr<TcpClient> procter_client_;
  std::shared_ptr<TcpClient> light_client_;
  // The listeners are process-wide single instances that outlive the node; not owned.
  CmdReportServer* cmd_report_server_ = nullptr;
  RobotInfoServer* robot_info_server_ = nullptr;
  MotorDataServer* motor_data_server_ = nullptr;
  rclcpp::CallbackGroup::SharedPtr callback_group_;
  rclcpp::Client<velmoria_protocol::srv::TaskCenterSrv>::SharedPtr task_center_srv_client_;
  rclcpp::Client<velmoria_protocol::srv::RobotInfoUpdate>::SharedPtr robot_info_update_client_;
  SourceHealth task_center_health_;
  SourceHealth robot_info_update_health_;
  // Its timer is in callback_group_.
  std::unique_ptr<BoardDiagnostics> diagnostics_;
  // Serves callback_group_ (the clients' answers and the diagnostics timer); declared after the
  // clients and the diagnostics, so that it stops before they go.
  std::unique_ptr<GroupSpinner> client_spinner_;
  rclcpp::Publisher<velmoria_protocol::msg::RobotEvent>::SharedPtr robot_event_pub_;
  rclcpp::Publisher<velmoria_protocol::msg::DiagnosticEvent>::SharedPtr task_center_diag_pub_;
  rclcpp::Publisher<velmoria_protocol::msg::DiagnosticEvent>::SharedPtr body_driver_diag_pub_;
};

// The process-wide node through which every class logs, publishes and reaches the links.
extern std::shared_ptr<BottomInteractCenter> g_node;

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__BOTTOM_INTERACT_CENTER_HPP_
