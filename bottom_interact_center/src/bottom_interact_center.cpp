#include "bottom_interact_center/bottom_interact_center.hpp"

#include "bottom_interact_center/constants.hpp"

namespace bottom_interact_center {

std::shared_ptr<BottomInteractCenter> g_node;

namespace {

constexpr int kProcterConnectFailed = 100400001;
constexpr int kLightConnectFailed = 100400002;

constexpr size_t kQueueDepth = 10;
constexpr int32_t kRobotEventType = 7;

}  // namespace

BottomInteractCenter::BottomInteractCenter() : rclcpp::Node("bottom_interact_center") {}

bool BottomInteractCenter::Init() {
  callback_group_ = create_callback_group(rclcpp::CallbackGroupType::Reentrant, true);
  task_center_srv_client_ = create_client<velmoria_protocol::srv::TaskCenterSrv>(
      kTaskCenterService, rmw_qos_profile_services_default, callback_group_);
  robot_info_update_client_ = create_client<velmoria_protocol::srv::RobotInfoUpdate>(
      kRobotInfoUpdateService, rmw_qos_profile_services_default, callback_group_);

  procter_client_ = std::make_shared<TcpClient>(kBoardProcterAddress, kProcterPort);

  // The publishers exist before the first connect: a connect publishes the link-restored event.
  robot_event_pub_ =
      create_publisher<velmoria_protocol::msg::RobotEvent>(kRobotEventTopic, kQueueDepth);
  task_center_diag_pub_ =
      create_publisher<velmoria_protocol::msg::DiagnosticEvent>(kTaskCenterDiagTopic, kQueueDepth);
  body_driver_diag_pub_ =
      create_publisher<velmoria_protocol::msg::DiagnosticEvent>(kBodyDriverDiagTopic, kQueueDepth);

  ConnectBoardLinks();

  // The board listeners (report server, sensor-data server, motor-data server) start here, in
  // that order; one that cannot start ends Init with false before the parameters are declared.

  DeclareParameters();
  return true;
}

void BottomInteractCenter::ConnectBoardLinks() {
  // A failed connect leaves the client unconnected; its next use reconnects.
  if (!procter_client_->Init()) {
    RCLCPP_ERROR(get_logger(), "ErrorCode: %d, tcp procter client connect to procter server failed",
                 kProcterConnectFailed);
  }
  light_client_ = std::make_shared<TcpClient>(kBoardLightAddress, kLightPort);
  if (!light_client_->Init()) {
    RCLCPP_ERROR(get_logger(), "ErrorCode: %d, tcp light client connect to light server failed",
                 kLightConnectFailed);
  }
}

void BottomInteractCenter::DeclareParameters() {
  declare_parameter(kSelfCleanPumpParam, rclcpp::ParameterValue(kDefaultSelfCleanPumpDuty));
  declare_parameter(kBatterySourcePathParam,
                    rclcpp::ParameterValue(std::string(kDefaultBatterySourcePath)));
}

void BottomInteractCenter::PublishRobotEvent(int32_t event_code) {
  velmoria_protocol::msg::RobotEvent event;
  event.event_type = kRobotEventType;
  event.event_code = event_code;
  robot_event_pub_->publish(event);
}

void BottomInteractCenter::PublishTaskCenterDiag(velmoria_protocol::msg::DiagnosticEvent event) {
  rclcpp::Clock clock(RCL_SYSTEM_TIME);
  event.header.stamp = clock.now();
  task_center_diag_pub_->publish(event);
}

void BottomInteractCenter::PublishBodyDriverDiag(
    const velmoria_protocol::msg::DiagnosticEvent& event) {
  body_driver_diag_pub_->publish(event);
}

bool BottomInteractCenter::GetParameterOrOverride(const std::string& name,
                                                  rclcpp::ParameterValue* value) {
  rclcpp::Parameter parameter;
  if (get_parameter(name, parameter)) {
    *value = parameter.get_parameter_value();
    return true;
  }
  // Without a declaration rclcpp hides a start-up value from get_parameter; it stays readable in
  // the overrides the node was constructed with.
  const auto& overrides = get_node_parameters_interface()->get_parameter_overrides();
  const auto found = overrides.find(name);
  if (found == overrides.end()) {
    return false;
  }
  *value = found->second;
  return true;
}

}  // namespace bottom_interact_center
