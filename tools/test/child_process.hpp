#ifndef BOARD_SIM_TEST_CHILD_PROCESS_HPP_
#define BOARD_SIM_TEST_CHILD_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace board_sim_test {

// A program run by a test, its standard output and error read through one pipe.
class ChildProcess {
public:
  explicit ChildProcess(const std::vector<std::string>& argv);
  ~ChildProcess();  // kills the child if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // The first output line containing text; empty when the time-out passes or the output ends.
  std::optional<std::string> WaitForLine(const std::string& text,
                                         std::chrono::milliseconds timeout);
  // Everything written until the output ends (the child exits) or the time-out passes.
  std::string ReadAll(std::chrono::milliseconds timeout);
  void Signal(int signal_number);
  // The exit status, or empty when the child has not ended by the time-out (or died by a signal).
  // Reads the remaining output on the way.
  std::optional<int> Wait(std::chrono::milliseconds timeout);

private:
  // Appends what one read delivers; false at end of output or time-out.
  bool ReadSome(std::chrono::steady_clock::time_point deadline);

  pid_t pid_ = -1;
  int output_fd_ = -1;
  std::string output_;
  std::size_t scanned_ = 0;  // output_ before this offset has been matched already
};

}  // namespace board_sim_test

#endif  // BOARD_SIM_TEST_CHILD_PROCESS_HPP_
