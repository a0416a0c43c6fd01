// The board simulator program: serves the board's command links until SIGINT or SIGTERM.
#include <csignal>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "board_sim/board_simulator.hpp"
#include "board_sim/command_line.hpp"

namespace {

sigset_t StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string program = argc > 0 ? argv[0] : "board_sim";
  const auto command_line =
      board_sim::CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
  if (command_line.action() == board_sim::CommandLine::Action::kHelp) {
    std::cout << board_sim::CommandLine::Usage(program);
    return 0;
  }
  if (command_line.action() == board_sim::CommandLine::Action::kError) {
    std::cerr << program << ": " << command_line.error() << "\n(see " << program << " --help)\n";
    return 2;
  }

  // Blocked before any thread starts, so only sigwait below receives them.
  const sigset_t stop_signals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  std::mutex print_mutex;
  board_sim::BoardSimulator::Options options = command_line.options();
  options.on_event = [&print_mutex](const std::string& line) {
    std::lock_guard<std::mutex> lock(print_mutex);
    std::cout << line << std::endl;
  };
  for (const auto& [kind, scenario] : options.scenarios) {
    std::cout << "scenario " << board_sim::CommandKindName(kind) << " = " << scenario.ToString()
              << "\n";
  }
  std::cout << "scenario (default) = " << options.default_scenario.ToString() << std::endl;

  board_sim::BoardSimulator simulator(options);
  std::string reason;
  if (!simulator.Start(&reason)) {
    std::cerr << program << ": " << reason << "\n";
    return 1;
  }
  int signal_number = 0;
  sigwait(&stop_signals, &signal_number);
  simulator.Stop();
  std::cout << "stopped by signal " << signal_number << std::endl;
  return 0;
}
