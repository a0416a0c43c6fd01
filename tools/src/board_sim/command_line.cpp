#include "board_sim/command_line.hpp"

#include <cerrno>
#include <cstdlib>
#include <optional>

namespace board_sim {

namespace {

bool TakesValue(const std::string& option) {
  return option == "--procter-port" || option == "--light-port" || option == "--scenario" ||
         option == "--default" || option == "--script";
}

std::string KindNames() {
  std::string names;
  for (CommandKind kind : AllCommandKinds()) {
    names += (names.empty() ? "" : ", ") + std::string(CommandKindName(kind));
  }
  return names;
}

}  // namespace

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
  CommandLine parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string option = args[i];
    if (option == "--help" || option == "-h") {
      parsed.action_ = Action::kHelp;
      return parsed;
    }
    if (option == "--battery") {
      parsed.battery_ = true;
      continue;
    }
    std::optional<std::string> value;
    if (const auto equals = option.find('=');
        option.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = option.substr(equals + 1);
      option = option.substr(0, equals);
    }
    if (!TakesValue(option)) {
      parsed.Fail("unknown option '" + option + "'");
      return parsed;
    }
    if (!value) {
      if (i + 1 == args.size()) {
        parsed.Fail(option + " needs a value");
        return parsed;
      }
      value = args[++i];
    }
    if (!parsed.Apply(option, *value)) return parsed;
  }
  return parsed;
}

bool CommandLine::Apply(const std::string& option, const std::string& value) {
  if (option == "--procter-port") return ApplyPort(option, value, &options_.procter_port);
  if (option == "--light-port") return ApplyPort(option, value, &options_.light_port);
  if (option == "--scenario") return ApplyScenario(value);
  if (option == "--script") {
    script_path_ = value;
    return !value.empty() || Fail("--script needs a file name");
  }
  std::string why;
  const auto scenario = Scenario::Parse(value, &why);
  if (!scenario) return Fail("--default: " + why);
  options_.default_scenario = *scenario;
  return true;
}

bool CommandLine::ApplyPort(const std::string& option, const std::string& value, uint16_t* port) {
  errno = 0;
  char* end = nullptr;
  const long number = std::strtol(value.c_str(), &end, 10);
  if (value.empty() || *end != '\0' || errno != 0 || number < 0 || number > 65535) {
    return Fail(option + ": '" + value + "' is not a port number (0 to 65535)");
  }
  *port = static_cast<uint16_t>(number);
  return true;
}

bool CommandLine::ApplyScenario(const std::string& value) {
  const auto equals = value.find('=');
  if (equals == std::string::npos) {
    return Fail("--scenario: expected KIND=SCENARIO, got '" + value + "'");
  }
  const std::string kind_name = value.substr(0, equals);
  const auto kind = ParseCommandKind(kind_name);
  if (!kind) {
    return Fail("--scenario: unknown command kind '" + kind_name + "' (" + KindNames() + ")");
  }
  std::string why;
  const auto scenario = Scenario::Parse(value.substr(equals + 1), &why);
  if (!scenario) return Fail("--scenario " + kind_name + ": " + why);
  options_.scenarios[*kind] = *scenario;
  return true;
}

bool CommandLine::Fail(const std::string& message) {
  action_ = Action::kError;
  error_ = message;
  return false;
}

std::string CommandLine::Usage(const std::string& program) {
  return "Usage: " + program +
         " [options]\n"
         "Simulates the robot's lower board on 127.0.0.1: serves the procter and light command\n"
         "links, prints every decoded request and answers it by the scenario of its kind.\n"
         "\n"
         "Options:\n"
         "  --procter-port N          procter link port (default 8080)\n"
         "  --light-port N            light link port (default 8081)\n"
         "  --scenario KIND=SCENARIO  answer requests of KIND with SCENARIO (repeatable)\n"
         "  --default SCENARIO        answer for kinds without a scenario (default accept)\n"
         "  --battery                 play the battery unit on a pseudo-terminal (its path is\n"
         "                            printed: give it to the node as battery_source_path)\n"
         "  --script FILE             read the commands below from FILE, not standard input\n"
         "  -h, --help                this text\n"
         "\n"
         "KIND: " +
         KindNames() +
         "\n"
         "SCENARIO: " +
         Scenario::TextForms() +
         "\n"
         "\n"
         "Example: " +
         program +
         " --scenario wheel=error:2 --scenario version=version:V1.2.3 --default accept\n"
         "\n"
         "Standard input (or --script FILE) drives the board's side of the node's listeners,\n"
         "one command a line (blank lines and lines starting with # are skipped):\n"
         "  report TEXT                a CleanRobotReport in protobuf text, pushed to port 10086\n"
         "  report-split TEXT          the same, one byte per write\n"
         "  report-garbage             a frame whose body does not parse\n"
         "  report-oversize            a length that can never fit the node's buffer\n"
         "  report-close               close the report connection (the next report reopens it)\n"
         "  report-reset               reset it instead (SO_LINGER 0), as a board rebooting may\n"
         "  sensor TEXT                a SensorDataProto datagram to port 10888\n"
         "  motor TEXT                 a MotorDataRep datagram to port 60087\n"
         "  stream sensor|motor HZ COUNT TEXT\n"
         "                             COUNT datagrams (or for COUNT seconds, as in 60s) at HZ\n"
         "  battery RATIO CURRENT CYCLES VOLTAGE\n"
         "                             stream this reading every 200 ms (%, 10 mA, count, 10 mV)\n"
         "  battery-corrupt            one battery frame with a wrong checksum\n"
         "  battery-stop               no more battery frames\n"
         "  sleep MS\n"
         "Each command prints one line: what it did, or \"error: \" and what is wrong.\n"
         "e.g.  report pause_btn: WorkPause\n"
         "      report diag_event { event_id: 4294967297 event_status: 1 }\n"
         "      sensor dust_box { value: 773 } battery { remain_ratio: 50 }\n"
         "      battery 77 -100 6666 5230\n"
         "\n"
         "Stops on SIGINT or SIGTERM.\n";
}

}  // namespace board_sim
