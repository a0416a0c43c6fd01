// The board's sensor datagrams: corrected, merged with the battery unit's reading, forwarded to
// the robot information service.
#ifndef BOTTOM_INTERACT_CENTER__ROBOT_INFO_SERVER_HPP_
#define BOTTOM_INTERACT_CENTER__ROBOT_INFO_SERVER_HPP_

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "bottom_interact_center/battery.hpp"
#include "bottom_interact_center/udp_server.hpp"
#include "robot/sensor_data.pb.h"

namespace bottom_interact_center {

class RobotInfoServer : public UdpServer {
public:
  using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

  // The process-wide instance, made by the first call; later calls ignore their arguments.
  static RobotInfoServer* GetInstance(const std::string& ip, int port);

  // steady_clock paces the bad-battery line; tests give their own.
  RobotInfoServer(const std::string& ip, int port,
                  SteadyClock steady_clock = std::chrono::steady_clock::now);
  ~RobotInfoServer() override;

  bool HandleData(const char* data, int len) override;
  bool ParseSensorData(bottom_internal::SensorDataProto& msg, const char* data, int len);
  // Corrects the message in place, then forwards it and waits for the answer (up to 11 s).
  bool HandleSensorData(bottom_internal::SensorDataProto& msg);
  // The receive thread, then the battery unit's reader.
  void Stop() override;
  // The battery unit's reader, from the first datagram that needed it on.
  const SourceHealth& BatteryHealth() const { return battery_health_; }

private:
  // Logs the bad-battery line at most once per 10 s of continuing complaints.
  void ComplainAboutBattery();
  // Overwrites the battery figures with a fresh reading of the unit on path (opened on first use;
  // a later path is ignored).
  void SubstituteBattery(bottom_internal::SensorDataProto& msg, const std::string& path);

  SteadyClock steady_clock_;
  std::optional<std::chrono::steady_clock::time_point> last_battery_complaint_;
  SourceHealth battery_health_;  // outlives every sensor made
  std::once_flag battery_sensor_created_;
  std::unique_ptr<BatterySensor> battery_sensor_;
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__ROBOT_INFO_SERVER_HPP_
