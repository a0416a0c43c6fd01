// The board simulator program: serves the board's command links and plays the board's side of
// the node's listeners (reports, datagrams, battery unit) as told on standard input or by a
// script file, until SIGINT or SIGTERM.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "board_sim/battery_unit.hpp"
#include "board_sim/board_script.hpp"
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

void RunLine(const std::string& line, board_sim::BoardScript* script, std::mutex* print_mutex) {
  if (line.find_first_not_of(" \t\r") == std::string::npos || line[0] == '#') return;
  std::string said;
  const bool ok = script->Run(line, &said);
  std::lock_guard<std::mutex> lock(*print_mutex);
  std::cout << (ok ? "" : "error: ") << said << std::endl;
}

// Runs the commands read from fd line by line until it ends or stop is set. Polled, so that a
// stop is seen while nothing is typed.
void RunCommands(int fd, board_sim::BoardScript* script, std::mutex* print_mutex,
                 const std::atomic<bool>* stop) {
  std::string pending;
  char chunk[4096];
  while (!*stop) {
    pollfd input{fd, POLLIN, 0};
    if (poll(&input, 1, 100) <= 0) continue;
    const ssize_t n = read(fd, chunk, sizeof(chunk));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    pending.append(chunk, static_cast<std::size_t>(n));
    for (std::size_t end; !*stop && (end = pending.find('\n')) != std::string::npos;) {
      RunLine(pending.substr(0, end), script, print_mutex);
      pending.erase(0, end + 1);
    }
  }
  if (!*stop) RunLine(pending, script, print_mutex);  // a last line without its newline
}

// Standard input, or the script file; -1 and *reason when the file cannot be opened.
int CommandSource(const std::string& script_path, std::string* reason) {
  if (script_path.empty()) return STDIN_FILENO;
  const int fd = open(script_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) *reason = script_path + ": " + std::strerror(errno);
  return fd;
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
  std::string reason;
  const int commands_fd = CommandSource(command_line.script_path(), &reason);
  if (commands_fd < 0) {
    std::cerr << program << ": " << reason << "\n";
    return 1;
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
  if (!simulator.Start(&reason)) {
    std::cerr << program << ": " << reason << "\n";
    return 1;
  }
  board_sim::BatteryUnit battery;
  if (command_line.battery()) {
    if (!battery.Open(&reason)) {
      std::cerr << program << ": " << reason << "\n";
      return 1;
    }
    std::cout << "battery unit on " << battery.path() << std::endl;
  }
  board_sim::BoardScript script(command_line.battery() ? &battery : nullptr);
  std::atomic<bool> stop_commands{false};
  std::thread commands(RunCommands, commands_fd, &script, &print_mutex, &stop_commands);

  int signal_number = 0;
  sigwait(&stop_signals, &signal_number);
  stop_commands = true;
  script.Interrupt();
  commands.join();
  simulator.Stop();
  std::cout << "stopped by signal " << signal_number << std::endl;
  return 0;
}
