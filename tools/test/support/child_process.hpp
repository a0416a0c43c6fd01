// A program run by a test, its output captured line by line.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__CHILD_PROCESS_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__CHILD_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "captured_stream.hpp"

namespace test_support {

class ChildProcess {
public:
  // kMerged: standard output and error both in out(), in the order written.
  enum class Output { kMerged, kSeparate };

  // Starts argv[0] with the test's environment; started() is false when it could not be forked
  // (throws when its output pipes cannot be made).
  explicit ChildProcess(const std::vector<std::string>& argv, Output output = Output::kMerged);
  // A child still running is asked to stop (SIGTERM), then killed: a program that leaves without
  // saying goodbye stays in its DDS peers' graph for a while.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // True once the child has ended and been reaped.
  bool ended() const { return reaped_; }
  const CapturedStream& out() const { return *out_; }
  const CapturedStream& err() const { return *err_; }  // kSeparate only

  // Sends the signal while the child has not been reaped (its pid may be reused after).
  void Signal(int signal_number) const;
  // The exit status once the child has ended and all its output is read; nothing when it did not
  // end in time or was killed by a signal.
  std::optional<int> WaitExit(std::chrono::milliseconds timeout = 10s);
  // SIGTERM, then WaitExit.
  std::optional<int> Terminate(std::chrono::milliseconds timeout = 10s);

private:
  void SendTerminate() const;

  pid_t pid_ = -1;
  bool reaped_ = false;
  std::optional<int> exit_status_;
  std::unique_ptr<CapturedStream> out_;
  std::unique_ptr<CapturedStream> err_;
};

}  // namespace test_support

#endif  // BOTTOM_INTERACT_TOOLS_TEST__CHILD_PROCESS_HPP_
