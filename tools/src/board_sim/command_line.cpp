#include "board_sim/command_line.hpp"

#include <cerrno>
#include <cstdlib>
#include <optional>

namespace board_sim {

namespace {

bool TakesValue(const std::string& option) {
  return option == "--procter-port" || option == "--light-port" || option == "--scenario" ||
         option == "--default";
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
         "  -h, --help                this text\n"
         "\n"
         "KIND: " +
         KindNames() +
         "\n"
         "SCENARIO: accept, error:N, silent, other-id-first, garbage, split, coalesce, close,\n"
         "          version:TEXT, oversize\n"
         "\n"
         "Example: " +
         program +
         " --scenario wheel=error:2 --scenario version=version:V1.2.3 --default accept\n"
         "Stops on SIGINT or SIGTERM.\n";
}

}  // namespace board_sim
