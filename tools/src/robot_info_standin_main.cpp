// Stands in for the robot information service: serves "robot_info_update", prints each report
// decoded as protobuf text, answers a status.
#include <google/protobuf/text_format.h>

#include <string>

#include <velmoria_protocol/srv/robot_info_update.hpp>

#include "robot/robot.pb.h"
#include "ros_tools/service_standin.hpp"

namespace {

constexpr char kProgram[] = "robot_info_standin";

constexpr char kUsage[] =
    "Usage: robot_info_standin [--status N] [--delay SECONDS] [--silent] [--count-only]\n"
    "                          [--ros-args ...]\n"
    "Serves robot_info_update (velmoria_protocol/srv/RobotInfoUpdate), decodes robot_info as\n"
    "robot.RobotInfo and prints it on one line as protobuf text:\n"
    "  robot_info_update: sensor_data { dust_box { value: 5 } ... }\n"
    "or, when robot_info does not parse,\n"
    "  robot_info_update: undecodable N bytes\n"
    "Options:\n"
    "  --status N        the answer's status (default 0: success)\n"
    "  --delay SECONDS   answer that much later\n"
    "  --silent          never answer (each request held until the stand-in stops)\n"
    "  --count-only      print only \"received N\" (the requests so far) once a second\n"
    "  -h, --help        this text\n";

std::string Describe(const velmoria_protocol::srv::RobotInfoUpdate::Request& request) {
  robot::RobotInfo info;
  if (!info.ParseFromString(request.robot_info)) {
    return "robot_info_update: undecodable " + std::to_string(request.robot_info.size()) + " bytes";
  }
  google::protobuf::TextFormat::Printer printer;
  printer.SetSingleLineMode(true);
  std::string text;
  printer.PrintToString(info, &text);
  return "robot_info_update: " + text;
}

}  // namespace

int main(int argc, char** argv) {
  ros_tools::StandInOptions options;
  if (const auto done = options.Parse(argc, argv, kProgram, kUsage, "--status", true)) {
    return *done;
  }
  using RobotInfoUpdate = velmoria_protocol::srv::RobotInfoUpdate;
  return ros_tools::RunStandIn<RobotInfoUpdate>(
      argc, argv, kProgram, "robot_info_update", options, Describe,
      [](RobotInfoUpdate::Response* response, int32_t status) { response->status = status; });
}
