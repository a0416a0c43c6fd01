#include "bottom_interact_center/robot_info_server.hpp"

#include <algorithm>

#include "bottom_interact_center/bottom_interact_center.hpp"
#include "bottom_interact_center/constants.hpp"
#include "bottom_interact_center/framed_datagram.hpp"

namespace bottom_interact_center {
namespace {

constexpr int kBadBattery = 100400033;
constexpr int kBoardUnknownRatio = -1;
// More than this many whole seconds since the last line: the next one is due.
constexpr int kBatteryComplaintSeconds = 9;

// The board sends the dust-box level in either byte of the value's low 16 bits.
void CorrectDustBox(bottom_internal::SensorDataProto& msg) {
  auto* dust_box = msg.mutable_dust_box();
  const uint32_t low16 = static_cast<uint32_t>(dust_box->value()) & 0xFFFFu;
  dust_box->set_value(static_cast<int32_t>(std::max(low16 & 0xFFu, low16 >> 8)));
}

// This robot has no tool box: every slot reads empty, whatever the board says.
void MarkToolBoxSlotsEmpty(bottom_internal::SensorDataProto& msg) {
  auto* inplace = msg.mutable_inplace_data();
  inplace->set_tool_box_slot_1(bottom_internal::Inplace_Detect_Not_Exist);
  inplace->set_tool_box_slot_2(bottom_internal::Inplace_Detect_Not_Exist);
  inplace->set_tool_box_slot_3(bottom_internal::Inplace_Detect_Not_Exist);
  inplace->set_tool_box_slot_4(bottom_internal::Inplace_Detect_Not_Exist);
}

}  // namespace

RobotInfoServer* RobotInfoServer::GetInstance(const std::string& ip, int port) {
  static RobotInfoServer instance(ip, port);
  return &instance;
}

RobotInfoServer::RobotInfoServer(const std::string& ip, int port, SteadyClock steady_clock)
    : UdpServer(ip, port), steady_clock_(std::move(steady_clock)) {}

RobotInfoServer::~RobotInfoServer() {
  RobotInfoServer::Stop();
}

void RobotInfoServer::Stop() {
  StopReceiving();
  battery_sensor_.reset();  // no datagram can use it any more
}

bool RobotInfoServer::HandleData(const char* data, int len) {
  bottom_internal::SensorDataProto msg;
  if (!CountParsed(ParseSensorData(msg, data, len))) {
    return false;
  }
  HandleSensorData(msg);
  return true;
}

bool RobotInfoServer::ParseSensorData(bottom_internal::SensorDataProto& msg, const char* data,
                                      int len) {
  return ParseFramedDatagram(msg, data, len, "Deserialize SensorDataProto error");
}

bool RobotInfoServer::HandleSensorData(bottom_internal::SensorDataProto& msg) {
  CorrectDustBox(msg);
  // Stays empty while the node has not declared it yet (datagrams during start-up).
  std::string battery_path;
  g_node->get_parameter(kBatterySourcePathParam, battery_path);
  if (!msg.has_battery() || msg.battery().remain_ratio() == kBoardUnknownRatio) {
    ComplainAboutBattery();
  }
  if (!battery_path.empty()) {
    SubstituteBattery(msg, battery_path);
  }
  MarkToolBoxSlotsEmpty(msg);
  g_node->ReportSensorData(msg);
  return true;
}

void RobotInfoServer::ComplainAboutBattery() {
  const auto now = steady_clock_();
  if (!last_battery_complaint_) {
    last_battery_complaint_ = now;
  }
  const auto since =
      std::chrono::duration_cast<std::chrono::seconds>(now - *last_battery_complaint_);
  if (since.count() > kBatteryComplaintSeconds) {
    RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, battery get bad battery info", kBadBattery);
    last_battery_complaint_ = now;
  }
}

void RobotInfoServer::SubstituteBattery(bottom_internal::SensorDataProto& msg,
                                        const std::string& path) {
  std::call_once(battery_sensor_created_,
                 [&] { battery_sensor_ = std::make_unique<BatterySensor>(path, battery_health_); });
  const BatteryRecord reading = battery_sensor_->GetLatest();
  if (!reading.valid) {
    return;  // the board's own figures stay
  }
  auto* battery = msg.mutable_battery();
  battery->set_remain_ratio(reading.remain_ratio);
  battery->set_current(reading.current);
  battery->set_charge_status(reading.charging ? bottom_internal::Charging
                                              : bottom_internal::NotCharging);
  battery->set_charge_circle(static_cast<int32_t>(reading.charge_circle));
  battery->set_voltage(static_cast<int32_t>(reading.voltage));
}

}  // namespace bottom_interact_center
