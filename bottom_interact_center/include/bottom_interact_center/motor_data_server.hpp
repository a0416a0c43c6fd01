// The board's motor datagrams, forwarded unchanged to the robot information service.
#ifndef BOTTOM_INTERACT_CENTER__MOTOR_DATA_SERVER_HPP_
#define BOTTOM_INTERACT_CENTER__MOTOR_DATA_SERVER_HPP_

#include <string>

#include "bottom_interact_center/udp_server.hpp"
#include "robot/motor_data.pb.h"

namespace bottom_interact_center {

class MotorDataServer : public UdpServer {
public:
  // The process-wide instance, made by the first call; later calls ignore their arguments.
  static MotorDataServer* GetInstance(const std::string& ip, int port);

  MotorDataServer(const std::string& ip, int port);
  ~MotorDataServer() override;

  bool HandleData(const char* data, int len) override;
  bool ParseMotorData(motor_data::MotorDataRep& msg, const char* data, int len);
  // Forwards and waits for the answer (up to 11 s); later datagrams queue in the socket.
  bool HandleMotorData(const motor_data::MotorDataRep& msg);
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__MOTOR_DATA_SERVER_HPP_
