#include "board_sim/board_script.hpp"

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "board_sim/text_parse_errors.hpp"

namespace board_sim {
namespace {

using namespace std::chrono_literals;

// Long enough for the node to read and refuse what it was sent.
constexpr auto kDropWait = 2s;
constexpr auto kConnectTimeout = 5s;
// A length of 65535 can never fit the node's 16384-byte buffer; one body byte follows so that
// the node has read past the length whichever way it reads.
constexpr char kOversizeFrame[] = "\xff\xff\x00";
// Three bytes that end inside a varint: no CleanRobotReport parses from them.
constexpr char kGarbageFrame[] = "\x03\x00\xff\xff\xff";

bool Fail(const std::string& reason, std::string* said) {
  *said = reason;
  return false;
}

// Takes the first word off *rest; *rest keeps what follows, without the surrounding blanks.
std::string NextWord(std::string* rest) {
  constexpr char kBlanks[] = " \t\r";
  const auto start = rest->find_first_not_of(kBlanks);
  const auto end = rest->find_first_of(kBlanks, start);
  const std::string word = start == std::string::npos ? "" : rest->substr(start, end - start);
  const auto next = rest->find_first_not_of(kBlanks, end);
  const auto last = rest->find_last_not_of(kBlanks);
  *rest = next == std::string::npos ? "" : rest->substr(next, last + 1 - next);
  return word;
}

bool ParseInteger(const std::string& word, long min, long max, long* value) {
  errno = 0;
  char* end = nullptr;
  *value = std::strtol(word.c_str(), &end, 10);
  return !word.empty() && *end == '\0' && errno == 0 && *value >= min && *value <= max;
}

bool ParsePositive(const std::string& word, double* value) {
  char* end = nullptr;
  *value = std::strtod(word.c_str(), &end);
  return !word.empty() && *end == '\0' && *value > 0 && *value < 1e9;
}

template <typename MessageT>
bool FrameOfText(const std::string& text, std::string* frame, std::string* said) {
  MessageT message;
  if (!TextParseErrors::Parse(text, &message, said)) return false;
  *frame = DatagramSender::Frame(message);
  return true;
}

}  // namespace

BoardScript::BoardScript(BatteryUnit* battery, uint16_t report_port, uint16_t sensor_port,
                         uint16_t motor_port)
    : battery_(battery),
      reports_("127.0.0.1", report_port),
      datagrams_("127.0.0.1", sensor_port, motor_port) {}

const std::map<std::string, BoardScript::Command>& BoardScript::Commands() {
  static const std::map<std::string, Command> commands = {
      {"report", {&BoardScript::Report, "TEXT (a CleanRobotReport in protobuf text)"}},
      {"report-split", {&BoardScript::ReportSplit, "TEXT (a CleanRobotReport in protobuf text)"}},
      {"report-garbage", {&BoardScript::ReportGarbage, ""}},
      {"report-oversize", {&BoardScript::ReportOversize, ""}},
      {"report-close", {&BoardScript::ReportClose, ""}},
      {"report-reset", {&BoardScript::ReportReset, ""}},
      {"sensor", {&BoardScript::Sensor, "TEXT (a SensorDataProto in protobuf text)"}},
      {"motor", {&BoardScript::Motor, "TEXT (a MotorDataRep in protobuf text)"}},
      {"stream", {&BoardScript::Stream, "sensor|motor HZ COUNT TEXT"}},
      {"battery", {&BoardScript::Battery, "RATIO CURRENT_10mA CYCLES VOLTAGE_10mV"}},
      {"battery-corrupt", {&BoardScript::BatteryCorrupt, ""}},
      {"battery-stop", {&BoardScript::BatteryStop, ""}},
      {"sleep", {&BoardScript::Sleep, "MS"}},
  };
  return commands;
}

bool BoardScript::Run(const std::string& line, std::string* said) {
  std::string arguments = line;
  const std::string name = NextWord(&arguments);
  const auto command = Commands().find(name);
  if (command == Commands().end()) {
    return Fail("unknown command '" + name + "' (board_sim --help lists them)", said);
  }
  const std::string& wanted = command->second.arguments;
  if (wanted.empty() && !arguments.empty()) return Fail(name + " takes no arguments", said);
  if (!wanted.empty() && arguments.empty()) return Fail(name + " needs " + wanted, said);
  return (this->*command->second.handler)(arguments, said);
}

void BoardScript::Interrupt() {
  std::lock_guard<std::mutex> lock(mutex_);
  interrupt_ = true;
  interrupted_.notify_all();
}

bool BoardScript::EnsureReportConnection(std::string* said) {
  // A connection the node dropped is found closed here, so the next report opens a new one.
  if (reports_.connected() && !reports_.WaitClosedByPeer(0ms)) return true;
  return reports_.Connect(kConnectTimeout) ||
         Fail("cannot connect to the node's report port (is the node running?)", said);
}

bool BoardScript::PushReport(const std::string& text, bool split, std::string* said) {
  cleaning_component::CleanRobotReport report;
  if (!TextParseErrors::Parse(text, &report, said)) return false;
  const uint64_t connections = reports_.connections();
  if (!EnsureReportConnection(said)) return false;
  if (!(split ? reports_.PushSplit(report) : reports_.Push(report))) {
    return Fail("the report connection broke while pushing", said);
  }
  *said = std::string(split ? "pushed byte by byte: " : "pushed: ") + report.ShortDebugString() +
          (reports_.connections() != connections ? " (new connection)" : "");
  return true;
}

bool BoardScript::PushRefused(const std::string& bytes, const std::string& what,
                              std::string* said) {
  if (!EnsureReportConnection(said)) return false;
  if (!reports_.PushRaw(bytes)) return Fail("the report connection broke while pushing", said);
  *said = "pushed " + what +
          (reports_.WaitClosedByPeer(kDropWait) ? ": the node dropped the connection"
                                                : ": the connection is still open");
  return true;
}

bool BoardScript::Report(const std::string& text, std::string* said) {
  return PushReport(text, false, said);
}

bool BoardScript::ReportSplit(const std::string& text, std::string* said) {
  return PushReport(text, true, said);
}

bool BoardScript::ReportGarbage(const std::string&, std::string* said) {
  return PushRefused(std::string(kGarbageFrame, sizeof(kGarbageFrame) - 1),
                     "a report that does not parse", said);
}

bool BoardScript::ReportOversize(const std::string&, std::string* said) {
  return PushRefused(std::string(kOversizeFrame, sizeof(kOversizeFrame) - 1),
                     "a length of 65535 bytes", said);
}

bool BoardScript::ReportClose(const std::string&, std::string* said) {
  *said = reports_.connected() ? "report connection closed" : "no report connection to close";
  reports_.Close();
  return true;
}

bool BoardScript::ReportReset(const std::string&, std::string* said) {
  *said = reports_.connected() ? "report connection reset" : "no report connection to reset";
  reports_.Reset();
  return true;
}

bool BoardScript::SendDatagram(uint16_t port, const std::string& frame, const std::string& what,
                               std::string* said) {
  if (!datagrams_.SendRaw(port, frame)) return Fail("could not send the " + what, said);
  *said = "sent " + what + " (" + std::to_string(frame.size()) + " bytes) to port " +
          std::to_string(port);
  return true;
}

bool BoardScript::Sensor(const std::string& text, std::string* said) {
  std::string frame;
  return FrameOfText<bottom_internal::SensorDataProto>(text, &frame, said) &&
         SendDatagram(datagrams_.sensor_port(), frame, "sensor datagram", said);
}

bool BoardScript::Motor(const std::string& text, std::string* said) {
  std::string frame;
  return FrameOfText<motor_data::MotorDataRep>(text, &frame, said) &&
         SendDatagram(datagrams_.motor_port(), frame, "motor datagram", said);
}

bool BoardScript::Stream(const std::string& arguments, std::string* said) {
  std::string text = arguments;
  const std::string kind = NextWord(&text);
  const std::string rate_word = NextWord(&text);
  const std::string count_word = NextWord(&text);
  double rate_hz = 0;
  long count = 0;
  long seconds = 0;
  const bool for_seconds =
      !count_word.empty() && count_word.back() == 's' &&
      ParseInteger(count_word.substr(0, count_word.size() - 1), 1, 1000000, &seconds);
  if ((kind != "sensor" && kind != "motor") || !ParsePositive(rate_word, &rate_hz) ||
      (!for_seconds && !ParseInteger(count_word, 1, 1000000000, &count)) || text.empty()) {
    return Fail(
        "stream needs sensor|motor HZ COUNT TEXT (HZ and COUNT above 0; COUNT may be "
        "a duration such as 60s)",
        said);
  }
  std::string frame;
  const bool sensor = kind == "sensor";
  if (!(sensor ? FrameOfText<bottom_internal::SensorDataProto>(text, &frame, said)
               : FrameOfText<motor_data::MotorDataRep>(text, &frame, said))) {
    return false;
  }
  const uint16_t port = sensor ? datagrams_.sensor_port() : datagrams_.motor_port();
  if (for_seconds) {
    datagrams_.StreamFor(port, frame, rate_hz, std::chrono::seconds(seconds));
  } else {
    datagrams_.Stream(port, frame, rate_hz, static_cast<uint64_t>(count));
  }
  *said = "streaming " + kind + " datagrams at " + rate_word + " Hz for " + count_word +
          (for_seconds ? "" : " datagrams") + " to port " + std::to_string(port);
  return true;
}

bool BoardScript::HaveBattery(std::string* said) const {
  return battery_ != nullptr || Fail("no battery unit (start board_sim with --battery)", said);
}

bool BoardScript::Battery(const std::string& arguments, std::string* said) {
  if (!HaveBattery(said)) return false;
  std::string rest = arguments;
  long ratio = 0, current = 0, cycles = 0, voltage = 0;
  if (!ParseInteger(NextWord(&rest), 0, 255, &ratio) ||
      !ParseInteger(NextWord(&rest), -32768, 32767, &current) ||
      !ParseInteger(NextWord(&rest), 0, 65535, &cycles) ||
      !ParseInteger(NextWord(&rest), 0, 65535, &voltage) || !rest.empty()) {
    return Fail(
        "battery needs RATIO (0-255) CURRENT_10mA (-32768-32767) CYCLES (0-65535) "
        "VOLTAGE_10mV (0-65535)",
        said);
  }
  battery_->Stream({static_cast<uint8_t>(ratio), static_cast<int16_t>(current),
                    static_cast<uint16_t>(cycles), static_cast<uint16_t>(voltage)});
  *said = "battery unit streaming ratio " + std::to_string(ratio) + " % current " +
          std::to_string(current) + " x 10 mA cycles " + std::to_string(cycles) + " voltage " +
          std::to_string(voltage) + " x 10 mV";
  return true;
}

bool BoardScript::BatteryCorrupt(const std::string&, std::string* said) {
  if (!HaveBattery(said)) return false;
  if (!battery_->Write(BatteryUnit::Frame({50, 0, 0, 0}, true))) {
    return Fail("could not write to the battery unit's terminal", said);
  }
  *said = "battery frame with a wrong checksum sent";
  return true;
}

bool BoardScript::BatteryStop(const std::string&, std::string* said) {
  if (!HaveBattery(said)) return false;
  battery_->StopStream();
  *said = "battery unit silent";
  return true;
}

bool BoardScript::Sleep(const std::string& milliseconds, std::string* said) {
  long ms = 0;
  if (!ParseInteger(milliseconds, 0, 86400000, &ms)) {
    return Fail("sleep needs MS, a whole number of milliseconds (0 to 86400000)", said);
  }
  std::unique_lock<std::mutex> lock(mutex_);
  const bool interrupted =
      interrupted_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return interrupt_; });
  *said = interrupted ? "sleep interrupted" : "slept " + milliseconds + " ms";
  return true;
}

}  // namespace board_sim
