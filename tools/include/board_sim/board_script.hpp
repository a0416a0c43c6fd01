#ifndef BOARD_SIM_BOARD_SCRIPT_HPP_
#define BOARD_SIM_BOARD_SCRIPT_HPP_

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

#include "board_sim/battery_unit.hpp"
#include "board_sim/datagram_sender.hpp"
#include "board_sim/report_pusher.hpp"

namespace board_sim {

// The board's side of the node's listeners, driven by hand or by a script, one command a line:
//   report TEXT | report-split TEXT      a CleanRobotReport in protobuf text, whole or byte-wise
//   report-garbage | report-oversize     a body that does not parse | a length that never fits
//   report-close | report-reset          the board closes | resets its report connection
//   sensor TEXT | motor TEXT             one SensorDataProto | MotorDataRep datagram
//   stream sensor|motor HZ COUNT TEXT    COUNT datagrams at HZ in the background (COUNT may be
//                                        a duration, e.g. 60s)
//   battery RATIO CURRENT CYCLES VOLTAGE stream this reading (%, 10 mA, count, 10 mV)
//   battery-corrupt | battery-stop       one frame with a wrong checksum | no more frames
//   sleep MS
// The report connection is opened on the first report command, and again after the node has
// dropped it. The battery commands need a battery unit.
class BoardScript {
public:
  // battery: nullptr when there is no battery unit. The ports are the node's.
  explicit BoardScript(BatteryUnit* battery, uint16_t report_port = 10086,
                       uint16_t sensor_port = 10888, uint16_t motor_port = 60087);

  // Runs one line; *said is what it did, or what is wrong with the line.
  bool Run(const std::string& line, std::string* said);
  // Ends a sleep under way and every later one at once (the program is stopping).
  void Interrupt();

private:
  using Handler = bool (BoardScript::*)(const std::string& arguments, std::string* said);
  struct Command {
    Handler handler;
    // What the command takes, for the error when it is missing; empty when it takes nothing.
    std::string arguments;
  };
  static const std::map<std::string, Command>& Commands();

  bool Report(const std::string& text, std::string* said);
  bool ReportSplit(const std::string& text, std::string* said);
  bool ReportGarbage(const std::string& unused, std::string* said);
  bool ReportOversize(const std::string& unused, std::string* said);
  bool ReportClose(const std::string& unused, std::string* said);
  bool ReportReset(const std::string& unused, std::string* said);
  bool Sensor(const std::string& text, std::string* said);
  bool Motor(const std::string& text, std::string* said);
  bool Stream(const std::string& arguments, std::string* said);
  bool Battery(const std::string& arguments, std::string* said);
  bool BatteryCorrupt(const std::string& unused, std::string* said);
  bool BatteryStop(const std::string& unused, std::string* said);
  bool Sleep(const std::string& milliseconds, std::string* said);

  bool PushReport(const std::string& text, bool split, std::string* said);
  // Pushes bytes the node must refuse, then says whether it dropped the connection.
  bool PushRefused(const std::string& bytes, const std::string& what, std::string* said);
  bool EnsureReportConnection(std::string* said);
  bool SendDatagram(uint16_t port, const std::string& frame, const std::string& what,
                    std::string* said);
  bool HaveBattery(std::string* said) const;

  BatteryUnit* battery_;
  ReportPusher reports_;
  DatagramSender datagrams_;
  std::mutex mutex_;
  std::condition_variable interrupted_;
  bool interrupt_ = false;
};

}  // namespace board_sim

#endif  // BOARD_SIM_BOARD_SCRIPT_HPP_
