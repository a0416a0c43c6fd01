// A program a test starts (fork + exec) with its stdout and stderr captured, reaped when the
// test is done with it.
#ifndef TEST_SUPPORT__PEER_PROCESS_HPP_
#define TEST_SUPPORT__PEER_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class PeerProcess {
public:
  /// Starts `program` with `arguments`. Throws std::runtime_error if it cannot be started.
  PeerProcess(const std::string& program, const std::vector<std::string>& arguments);
  /// Kills the process if it still runs.
  ~PeerProcess();
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  void send_signal(int signum);

  /// The exit code (128 + signal if a signal ended it) once the process has exited; nullopt if
  /// it still runs after `timeout`.
  std::optional<int> wait_for_exit(std::chrono::milliseconds timeout);

  /// Everything the process wrote so far, stdout and stderr interleaved.
  std::string output() const;

private:
  bool reap(int options);

  std::string output_path_;
  pid_t pid_ = -1;
  std::optional<int> exit_code_;
};

#endif  // TEST_SUPPORT__PEER_PROCESS_HPP_
