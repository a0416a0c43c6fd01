#include "bottom_interact_center/motor_data_server.hpp"

#include "bottom_interact_center/bottom_interact_center.hpp"
#include "bottom_interact_center/framed_datagram.hpp"

namespace bottom_interact_center {

MotorDataServer* MotorDataServer::GetInstance(const std::string& ip, int port) {
  static MotorDataServer instance(ip, port);
  return &instance;
}

MotorDataServer::MotorDataServer(const std::string& ip, int port) : UdpServer(ip, port) {}

MotorDataServer::~MotorDataServer() {
  StopReceiving();
}

bool MotorDataServer::HandleData(const char* data, int len) {
  motor_data::MotorDataRep msg;
  if (!CountParsed(ParseMotorData(msg, data, len))) {
    return false;
  }
  HandleMotorData(msg);
  return true;
}

bool MotorDataServer::ParseMotorData(motor_data::MotorDataRep& msg, const char* data, int len) {
  return ParseFramedDatagram(msg, data, len, "Deserialize MotorDataRep error");
}

bool MotorDataServer::HandleMotorData(const motor_data::MotorDataRep& msg) {
  g_node->ReportMotorData(msg);
  return true;
}

}  // namespace bottom_interact_center
