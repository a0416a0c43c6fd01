#include "peer_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "test_support/poll_until.hpp"

namespace {

std::string make_output_file() {
  char path[] = "/tmp/test_peer_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) {
    throw std::runtime_error(std::string("mkstemp: ") + std::strerror(errno));
  }
  close(fd);
  return path;
}

}  // namespace

PeerProcess::PeerProcess(const std::string& program, const std::vector<std::string>& arguments)
    : output_path_(make_output_file()) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ < 0) {
    throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
  }
  if (pid_ == 0) {
    const int fd = open(output_path_.c_str(), O_WRONLY | O_TRUNC);
    if (fd >= 0) {
      dup2(fd, STDOUT_FILENO);
      dup2(fd, STDERR_FILENO);
      close(fd);
    }
    // Fast DDS opens its sockets without close-on-exec; the peer must not inherit ours.
    close_range(3, ~0U, 0);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
}

PeerProcess::~PeerProcess() {
  if (!exit_code_) {
    kill(pid_, SIGKILL);
    reap(0);
  }
  unlink(output_path_.c_str());
}

void PeerProcess::send_signal(int signum) {
  if (!exit_code_) {
    kill(pid_, signum);
  }
}

bool PeerProcess::reap(int options) {
  int status = 0;
  if (waitpid(pid_, &status, options) != pid_) {
    return false;
  }
  exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return true;
}

std::optional<int> PeerProcess::wait_for_exit(std::chrono::milliseconds timeout) {
  test_support::PollUntil(timeout, [this] { return exit_code_.has_value() || reap(WNOHANG); });
  return exit_code_;
}

std::string PeerProcess::output() const {
  std::ifstream file(output_path_);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}
