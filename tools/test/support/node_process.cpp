#include "node_process.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace node_test {

CapturedStream::CapturedStream(int fd) : fd_(fd), reader_([this] { Read(); }) {}

CapturedStream::~CapturedStream() {
  reader_.join();  // ends at end of file: the child has exited or been killed
  close(fd_);
}

void CapturedStream::Read() {
  std::string pending;
  char buf[4096];
  ssize_t n;
  while ((n = read(fd_, buf, sizeof(buf))) != 0) {
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      break;
    }
    pending.append(buf, static_cast<std::size_t>(n));
    std::size_t end;
    std::lock_guard<std::mutex> lock(mutex_);
    while ((end = pending.find('\n')) != std::string::npos) {
      lines_.push_back(pending.substr(0, end));
      pending.erase(0, end + 1);
    }
    changed_.notify_all();
  }
}

std::vector<std::string> CapturedStream::Lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

std::vector<std::string> CapturedStream::LinesFrom(std::size_t first) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::vector<std::string>(
      lines_.begin() + static_cast<std::ptrdiff_t>(std::min(first, lines_.size())), lines_.end());
}

std::size_t CapturedStream::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_.size();
}

std::size_t CapturedStream::CountFrom(const std::string& text, std::size_t first) const {
  std::size_t count = 0;
  for (std::size_t i = first; i < lines_.size(); ++i) {
    count += lines_[i].find(text) != std::string::npos ? 1 : 0;
  }
  return count;
}

std::size_t CapturedStream::Count(const std::string& text) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return CountFrom(text, 0);
}

bool CapturedStream::WaitFor(const std::string& text, std::size_t first,
                             std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return CountFrom(text, first) > 0; });
}

bool CapturedStream::WaitForCount(const std::string& text, std::size_t count,
                                  std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return CountFrom(text, 0) >= count; });
}

bool CapturedStream::WaitForSize(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return lines_.size() >= count; });
}

NodeProcess::NodeProcess(const std::vector<std::string>& ros_args) {
  std::vector<std::string> args{NODE_EXECUTABLE};
  if (!ros_args.empty()) {
    args.emplace_back("--ros-args");
    args.insert(args.end(), ros_args.begin(), ros_args.end());
  }
  std::vector<char*> argv;
  for (auto& arg : args) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);

  int out_pipe[2];
  int err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot create the node's output pipes");
  }
  pid_ = fork();
  if (pid_ == 0) {
    // Only async-signal-safe calls between fork and exec.
    dup2(out_pipe[1], STDOUT_FILENO);
    dup2(err_pipe[1], STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  if (pid_ < 0) {
    close(out_pipe[0]);
    close(err_pipe[0]);
    throw std::runtime_error("cannot start the node");
  }
  out_ = std::make_unique<CapturedStream>(out_pipe[0]);
  err_ = std::make_unique<CapturedStream>(err_pipe[0]);
}

NodeProcess::~NodeProcess() {
  // A node that leaves without saying goodbye stays in its peers' DDS graph for a while.
  if (!reaped_ && !Terminate(5s)) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  out_.reset();
  err_.reset();
}

std::optional<int> NodeProcess::WaitExit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!reaped_) {
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      reaped_ = true;
      if (WIFEXITED(status)) {
        exit_status_ = WEXITSTATUS(status);
      }
    } else if (std::chrono::steady_clock::now() > deadline) {
      return std::nullopt;
    } else {
      std::this_thread::sleep_for(10ms);
    }
  }
  return exit_status_;
}

std::optional<int> NodeProcess::Terminate(std::chrono::milliseconds timeout) {
  if (!reaped_) {
    SendTerminate();
  }
  return WaitExit(timeout);
}

void NodeProcess::SendTerminate() const {
#if defined(__SANITIZE_THREAD__)
  // ThreadSanitizer hands a signal to its handler only once the receiving thread passes through
  // the sanitizer again, or at once when it waits in an intercepted read. The kernel may choose
  // the main thread while it waits on the executor's mutex for good, so the signal goes to a
  // thread blocked reading (a socket or the signal pipe): exactly one signal, as a second one
  // would meet the default action once ROS has removed its handlers.
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

}  // namespace node_test
