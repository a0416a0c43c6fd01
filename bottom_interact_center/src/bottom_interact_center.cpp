#include "bottom_interact_center/bottom_interact_center.hpp"

#include <chrono>

#include "bottom_interact_center/cmd_report_server.hpp"
#include "bottom_interact_center/constants.hpp"
#include "bottom_interact_center/motor_data_server.hpp"
#include "bottom_interact_center/robot_info_server.hpp"
#include "common_util/util.hpp"

namespace bottom_interact_center {

std::shared_ptr<BottomInteractCenter> g_node;

namespace {

constexpr int kProcterConnectFailed = 100400001;
constexpr int kLightConnectFailed = 100400002;
constexpr int kCmdReportServerInitFailed = 100400003;
constexpr int kRobotInfoServerInitFailed = 100400004;
constexpr int kTaskCenterClientMissing = 100400005;
constexpr int kSerializeFailed = 100400009;
constexpr int kRobotInfoUpdateFailed = 100400010;
constexpr int kMotorDataServerInitFailed = 100400042;

// Every blocking call of the listeners: 1 s for the service to appear, 10 s for its answer.
constexpr std::chrono::milliseconds kServiceTimeout{1000};
constexpr std::chrono::milliseconds kResponseTimeout{10000};

constexpr size_t kQueueDepth = 10;
constexpr int32_t kRobotEventType = 7;

}  // namespace

BottomInteractCenter::BottomInteractCenter() : rclcpp::Node("bottom_interact_center") {}

bool BottomInteractCenter::Init() {
  // The clients' answers get a thread of their own: the executor's threads may all be held by
  // board exchanges for many seconds, longer than a listener waits for an answer.
  callback_group_ = create_callback_group(rclcpp::CallbackGroupType::Reentrant, false);
  task_center_srv_client_ = create_client<velmoria_protocol::srv::TaskCenterSrv>(
      kTaskCenterService, rmw_qos_profile_services_default, callback_group_);
  robot_info_update_client_ = create_client<velmoria_protocol::srv::RobotInfoUpdate>(
      kRobotInfoUpdateService, rmw_qos_profile_services_default, callback_group_);
  client_spinner_ = std::make_unique<GroupSpinner>(callback_group_, get_node_base_interface());

  procter_client_ = std::make_shared<TcpClient>(kBoardProcterAddress, kProcterPort);

  // The publishers exist before the first connect: a connect publishes the link-restored event.
  robot_event_pub_ =
      create_publisher<velmoria_protocol::msg::RobotEvent>(kRobotEventTopic, kQueueDepth);
  task_center_diag_pub_ =
      create_publisher<velmoria_protocol::msg::DiagnosticEvent>(kTaskCenterDiagTopic, kQueueDepth);
  body_driver_diag_pub_ =
      create_publisher<velmoria_protocol::msg::DiagnosticEvent>(kBodyDriverDiagTopic, kQueueDepth);

  ConnectBoardLinks();
  if (!StartBoardListeners()) {
    return false;
  }
  DeclareParameters();
  diagnostics_ = std::make_unique<BoardDiagnostics>(*this, callback_group_, HealthSources());
  return true;
}

// The listeners' threads start inside their Init and may call into the node at once. One that
// cannot start leaves the later ones uncreated.
bool BottomInteractCenter::StartBoardListeners() {
  cmd_report_server_ = CmdReportServer::GetInstance(kHostAddress, kCmdReportPort);
  if (!cmd_report_server_->Init()) {
    RCLCPP_ERROR(get_logger(), "ErrorCode: %d, cmd report server init failed",
                 kCmdReportServerInitFailed);
    return false;
  }
  robot_info_server_ = RobotInfoServer::GetInstance(kHostAddress, kRobotInfoPort);
  if (!robot_info_server_->Init()) {
    RCLCPP_ERROR(get_logger(), "ErrorCode: %d, robot info server init failed",
                 kRobotInfoServerInitFailed);
    return false;
  }
  motor_data_server_ = MotorDataServer::GetInstance(kAnyAddress, kMotorDataPort);
  if (!motor_data_server_->Init()) {
    RCLCPP_ERROR(get_logger(), "ErrorCode: %d, motor data server init failed",
                 kMotorDataServerInitFailed);
    return false;
  }
  return true;
}

void BottomInteractCenter::StopBoardListeners() {
  if (cmd_report_server_ != nullptr) {
    cmd_report_server_->Stop();
  }
  if (robot_info_server_ != nullptr) {
    robot_info_server_->Stop();
  }
  if (motor_data_server_ != nullptr) {
    motor_data_server_->Stop();
  }
  // Nobody waits for an answer any more.
  if (client_spinner_ != nullptr) {
    client_spinner_->Stop();
  }
}

void BottomInteractCenter::ConnectBoardLinks() {
  // A failed connect leaves the client unconnected; its next use reconnects. One cut short by a
  // stop is no failure to report.
  if (!procter_client_->Init() && rclcpp::ok()) {
    RCLCPP_ERROR(get_logger(), "ErrorCode: %d, tcp procter client connect to procter server failed",
                 kProcterConnectFailed);
  }
  // Nobody reads the light link's answers: a send that waits for room drops them meanwhile.
  light_client_ =
      std::make_shared<TcpClient>(kBoardLightAddress, kLightPort, TcpClient::Incoming::kDropped);
  if (!light_client_->Init() && rclcpp::ok()) {
    RCLCPP_ERROR(get_logger(), "ErrorCode: %d, tcp light client connect to light server failed",
                 kLightConnectFailed);
  }
}

std::vector<BoardDiagnostics::Source> BottomInteractCenter::HealthSources() {
  using Snapshot = SourceHealth::Snapshot;
  using TimePoint = BoardDiagnostics::TimePoint;
  const auto command_link = [](const Snapshot& now, const Snapshot&, TimePoint at) {
    return StatusRules::CommandLink(now, at);
  };
  const auto service_peer = [](const Snapshot& now, const Snapshot&, TimePoint at) {
    return StatusRules::ServicePeer(now, at);
  };
  const auto battery_unit = [this](const Snapshot& now, const Snapshot& period_ago, TimePoint at) {
    std::string path;
    get_parameter(kBatterySourcePathParam, path);
    if (path.empty()) {
      return StatusRules::BatteryFromBoard();
    }
    StatusRules::Status status = StatusRules::BatteryUnit(now, period_ago, at);
    status.hardware_id = path;
    return status;
  };
  const std::string board = kBoardProcterAddress;
  return {
      {"procter link", board, &procter_client_->Health(), command_link},
      {"light link", board, &light_client_->Health(), command_link},
      {"report connection", board, &cmd_report_server_->Health(),
       [](const Snapshot& now, const Snapshot&, TimePoint at) {
         return StatusRules::ReportConnection(now, at);
       }},
      {"sensor data", board, &robot_info_server_->Health(), StatusRules::Datagrams},
      {"motor data", board, &motor_data_server_->Health(), StatusRules::Datagrams},
      {"battery unit", board, &robot_info_server_->BatteryHealth(), battery_unit},
      {kTaskCenterService, board, &task_center_health_, service_peer},
      {kRobotInfoUpdateService, board, &robot_info_update_health_, service_peer},
  };
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

// One fixed command to the task center and how it is announced and refused.
struct BottomInteractCenter::TaskCommand {
  const char* name;
  int32_t task_type;
  int32_t task_cmd;
  int failure_code;
  const char* failure_message;
};

bool BottomInteractCenter::SendPauseSingle() {
  return SendTaskCommand({"SendPauseSingle", 200, 5, 100400006, "Send pause single failed!"});
}

bool BottomInteractCenter::SendPauseTask() {
  return SendTaskCommand({"SendPauseTask", 7, 504, 100400032, "Pause task failed!"});
}

bool BottomInteractCenter::SendRecoveryTask() {
  return SendTaskCommand(
      {"BottomInteractCenter::SendRecoveryTask", 7, 505, 100400007, "Recovery task failed!"});
}

bool BottomInteractCenter::SendReturnCharge() {
  return SendTaskCommand(
      {"BottomInteractCenter::SendReturnCharge", 2, 103, 100400008, "Add charge task failed!"});
}

bool BottomInteractCenter::SendTaskCommand(const TaskCommand& command) {
  RCLCPP_INFO(get_logger(), "%s", command.name);
  if (task_center_srv_client_ == nullptr) {
    RCLCPP_ERROR(get_logger(), "ErrorCode: %d, task_center_srv_client_ == nullptr",
                 kTaskCenterClientMissing);
    return false;
  }
  common_util::ServiceCallData<velmoria_protocol::srv::TaskCenterSrv> data;
  data.request->task_type = command.task_type;
  data.request->task_cmd = command.task_cmd;
  if (!common_util::SyncCallService<velmoria_protocol::srv::TaskCenterSrv>(
          g_node, task_center_srv_client_, data, kResponseTimeout, kServiceTimeout,
          &task_center_health_)) {
    return false;
  }
  if (data.response->result != 0) {
    task_center_health_.Count(HealthEvent::kRefused);
    RCLCPP_ERROR(get_logger(), "ErrorCode: %d, %s", command.failure_code, command.failure_message);
    return false;
  }
  RCLCPP_INFO(get_logger(), "After client.call");
  return true;
}

bool BottomInteractCenter::ReportRobotInfo(const robot::RobotInfo& robot_info) {
  common_util::ServiceCallData<velmoria_protocol::srv::RobotInfoUpdate> data;
  if (!robot_info.SerializeToString(&data.request->robot_info)) {
    RCLCPP_ERROR(get_logger(), "ErrorCode: %d, robot_info SerializeToArray failed",
                 kSerializeFailed);
    return false;
  }
  data.request->header.stamp = g_node->now();
  const bool answered = common_util::SyncCallService<velmoria_protocol::srv::RobotInfoUpdate>(
      g_node, robot_info_update_client_, data, kResponseTimeout, kServiceTimeout,
      &robot_info_update_health_);
  if (!answered && !rclcpp::ok()) {
    return false;  // cut short by ROS shutting down: nobody waits for the report any more
  }
  if (answered && data.response->status != 0) {
    robot_info_update_health_.Count(HealthEvent::kRefused);
  }
  if (!answered || data.response->status != 0) {
    RCLCPP_ERROR(get_logger(),
                 "ErrorCode: %d, Update Robot Info failed!, robot_info_update_req status : %d",
                 kRobotInfoUpdateFailed, data.response->status);
    return false;
  }
  return true;
}

bool BottomInteractCenter::ReportCleanRobotReport(
    const cleaning_component::CleanRobotReport& report) {
  robot::RobotInfo robot_info;
  *robot_info.mutable_clean_robot_report() = report;
  return ReportRobotInfo(robot_info);
}

bool BottomInteractCenter::ReportSensorData(const bottom_internal::SensorDataProto& sensor_data) {
  robot::RobotInfo robot_info;
  *robot_info.mutable_sensor_data() = sensor_data;
  return ReportRobotInfo(robot_info);
}

bool BottomInteractCenter::ReportMotorData(const motor_data::MotorDataRep& motor_data) {
  robot::RobotInfo robot_info;
  *robot_info.mutable_motor_data() = motor_data;
  return ReportRobotInfo(robot_info);
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
