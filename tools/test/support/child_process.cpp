#include "child_process.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>
#include "test_support/poll_until.hpp"

namespace test_support {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, Output output) {
  std::vector<char*> args;
  for (const auto& arg : argv) {
    args.push_back(const_cast<char*>(arg.c_str()));
  }
  args.push_back(nullptr);
  int out_pipe[2];
  int err_pipe[2];
  int exec_pipe[2];  // closed by the exec: its end tells the parent the child runs argv[0]
  if (pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0 ||
      pipe2(exec_pipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot create the output pipes of " + argv.front());
  }
  const int err_target = output == Output::kMerged ? out_pipe[1] : err_pipe[1];
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    // Only async-signal-safe calls between fork and exec.
    // A test program that dies (a sanitizer report, an uncaught exception) takes its children
    // along: a node left running would hold the fixed ports for the programs after it. The
    // signal follows the forking thread: start children from one that outlives them (the main one).
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {  // it died before the request took
      _exit(127);
    }
    dup2(out_pipe[1], STDOUT_FILENO);
    dup2(err_target, STDERR_FILENO);
    // Fast DDS opens its sockets without close-on-exec; the child must not inherit the test's.
    const unsigned exec_end = static_cast<unsigned>(exec_pipe[1]);
    close_range(3, exec_end - 1, 0);
    close_range(exec_end + 1, ~0U, 0);
    execv(args[0], args.data());
    _exit(127);
  }
  close(exec_pipe[1]);
  // Until the exec, the child runs the test's signal handlers: a signal sent to it then would
  // reach the test's own ROS context through the handlers' inherited pipes.
  char scrap;
  while (read(exec_pipe[0], &scrap, 1) < 0 && errno == EINTR) {
  }
  close(exec_pipe[0]);
  close(out_pipe[1]);
  close(err_pipe[1]);
  out_ = std::make_unique<CapturedStream>(out_pipe[0]);
  err_ = std::make_unique<CapturedStream>(err_pipe[0]);
}

ChildProcess::~ChildProcess() {
  if (started() && !reaped_ && !Terminate(5s)) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  out_.reset();
  err_.reset();
}

void ChildProcess::Signal(int signal_number) const {
  if (started() && !reaped_) {
    kill(pid_, signal_number);
  }
}

std::optional<int> ChildProcess::WaitExit(std::chrono::milliseconds timeout) {
  if (!started()) {
    return std::nullopt;
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  const bool reaped = test_support::PollUntil(timeout, [this] {
    if (reaped_) {  // by an earlier wait: its pid may be another process's by now
      return true;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) {
      return false;
    }
    reaped_ = true;
    if (WIFEXITED(status)) {
      exit_status_ = WEXITSTATUS(status);
    }
    return true;
  });
  if (!reaped) {
    return std::nullopt;
  }
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  out_->WaitForEnd(std::max(left, 100ms));
  err_->WaitForEnd(std::max(left, 100ms));
  return exit_status_;
}

std::optional<int> ChildProcess::Terminate(std::chrono::milliseconds timeout) {
  if (started() && !reaped_) {
    SendTerminate();
  }
  return WaitExit(timeout);
}

void ChildProcess::SendTerminate() const {
#if defined(__SANITIZE_THREAD__)
  // ThreadSanitizer hands a signal to its handler only once the receiving thread passes through
  // the sanitizer again, or at once when it waits in an intercepted read. The kernel may choose
  // the main thread while it waits on the executor's mutex for good, so the signal goes to a
  // thread blocked reading (a socket or the signal pipe).
  const std::string tasks_path = "/proc/" + std::to_string(pid_) + "/task";
  if (DIR* tasks = opendir(tasks_path.c_str())) {
    int reader = -1;
    while (dirent* task = readdir(tasks)) {
      std::ifstream wchan(tasks_path + "/" + task->d_name + "/wchan");
      std::string waiting_in;
      wchan >> waiting_in;
      if (waiting_in.find("pipe_read") != std::string::npos ||
          waiting_in.find("skb") != std::string::npos) {
        reader = atoi(task->d_name);
      }
    }
    closedir(tasks);
    if (reader > 0 && syscall(SYS_tgkill, pid_, reader, SIGTERM) == 0) {
      return;
    }
  }
#endif
  kill(pid_, SIGTERM);
}

}  // namespace test_support
