// A helper process started by a test (fork + exec) and reaped when the test is done with it.
#ifndef MIDDLEWARE_TEST__PEER_PROCESS_HPP_
#define MIDDLEWARE_TEST__PEER_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class PeerProcess {
public:
  /// Starts program with arguments; throws std::runtime_error if it cannot be started.
  PeerProcess(const std::string& program, const std::vector<std::string>& arguments);
  /// Kills the process if it is still running.
  ~PeerProcess();
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  /// The exit status once the process has exited, or nullopt on timeout. Killed -> 128 + signal.
  std::optional<int> wait_exit(std::chrono::milliseconds timeout);
  void kill_now();
  pid_t pid() const { return pid_; }

private:
  pid_t pid_;
  std::optional<int> status_;
};

/// A DDS domain for this test process, so concurrent test runs on the machine do not meet.
size_t test_domain_id();

#endif  // MIDDLEWARE_TEST__PEER_PROCESS_HPP_
