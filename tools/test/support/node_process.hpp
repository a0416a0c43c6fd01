// The node's real executable as a child process, with its standard output and standard error
// captured line by line.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__NODE_PROCESS_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__NODE_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace node_test {

using namespace std::chrono_literals;

// Lines of one output stream of the child, read by a thread of their own.
class CapturedStream {
public:
  explicit CapturedStream(int fd);
  ~CapturedStream();
  std::vector<std::string> Lines() const;
  // Lines from index first on: with first taken from Size() before an action, what it wrote.
  std::vector<std::string> LinesFrom(std::size_t first) const;
  std::size_t Size() const;
  // Captured lines containing text.
  std::size_t Count(const std::string& text) const;
  // Waits until a line from index first on contains text; false when the time-out passed first.
  bool WaitFor(const std::string& text, std::size_t first = 0,
               std::chrono::milliseconds timeout = 10s) const;
  // Waits until at least count lines contain text.
  bool WaitForCount(const std::string& text, std::size_t count,
                    std::chrono::milliseconds timeout = 10s) const;
  // Waits until there are at least count lines.
  bool WaitForSize(std::size_t count, std::chrono::milliseconds timeout = 10s) const;

private:
  void Read();
  // Lines from index first on containing text; the caller holds mutex_.
  std::size_t CountFrom(const std::string& text, std::size_t first) const;

  int fd_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::string> lines_;
  std::thread reader_;
};

class NodeProcess {
public:
  // Starts the node with "--ros-args" followed by ros_args (when any). It inherits the
  // environment (ROS_DOMAIN_ID, ROS_LOCALHOST_ONLY=1) of the test process.
  explicit NodeProcess(const std::vector<std::string>& ros_args = {});
  // Kills the child if it is still running.
  ~NodeProcess();
  NodeProcess(const NodeProcess&) = delete;
  NodeProcess& operator=(const NodeProcess&) = delete;

  const CapturedStream& out() const { return *out_; }
  const CapturedStream& err() const { return *err_; }

  // Waits for the child to end; its exit status, or nothing when it was killed by a signal or
  // did not end in time.
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

}  // namespace node_test

#endif  // BOTTOM_INTERACT_TOOLS_TEST__NODE_PROCESS_HPP_
