#ifndef BOARD_SIM_COMMAND_LINE_HPP_
#define BOARD_SIM_COMMAND_LINE_HPP_

#include <string>
#include <vector>

#include "board_sim/board_simulator.hpp"

namespace board_sim {

// The board_sim program's options:
//   --procter-port N  --light-port N  --scenario KIND=SCENARIO (repeatable)  --default SCENARIO
//   --battery  --script FILE  --help
class CommandLine {
public:
  enum class Action { kRun, kHelp, kError };

  // args without the program name.
  static CommandLine Parse(const std::vector<std::string>& args);
  static std::string Usage(const std::string& program);

  Action action() const { return action_; }
  const std::string& error() const { return error_; }
  const BoardSimulator::Options& options() const { return options_; }
  // Whether to play the battery unit on a pseudo-terminal.
  bool battery() const { return battery_; }
  // The file of listening-side commands to run instead of standard input's; empty: none.
  const std::string& script_path() const { return script_path_; }

private:
  bool Apply(const std::string& option, const std::string& value);
  bool ApplyPort(const std::string& option, const std::string& value, uint16_t* port);
  bool ApplyScenario(const std::string& value);
  bool Fail(const std::string& message);

  Action action_ = Action::kRun;
  std::string error_;
  BoardSimulator::Options options_;
  bool battery_ = false;
  std::string script_path_;
};

}  // namespace board_sim

#endif  // BOARD_SIM_COMMAND_LINE_HPP_
