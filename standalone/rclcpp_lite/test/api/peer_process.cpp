#include "peer_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kPollInterval(5);

std::string make_output_file() {
  char path[] = "/tmp/api_test_peer_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) {
    throw std::runtime_error(std::string("mkstemp: ") + std::strerror(errno));
  }
  close(fd);
  return path;
}

/// Polls `done` until it holds or the timeout passes.
template <typename Predicate>
bool poll_until(std::chrono::milliseconds timeout, Predicate done) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
  return true;
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
  poll_until(timeout, [this] { return exit_code_.has_value() || reap(WNOHANG); });
  return exit_code_;
}

bool PeerProcess::wait_for_output(const std::string& text, std::chrono::milliseconds timeout) {
  return poll_until(timeout, [&] { return output().find(text) != std::string::npos; });
}

std::string PeerProcess::output() const {
  std::ifstream file(output_path_);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

void use_own_dds_domain() {
  const char* domain = std::getenv("ROS_DOMAIN_ID");
  if (domain == nullptr || *domain == '\0') {
    // Domains 100..199 keep clear of the default domain 0 and within the RTPS port range.
    setenv("ROS_DOMAIN_ID", std::to_string(100 + getpid() % 100).c_str(), 1);
  }
}
