#include "peer_process.hpp"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

PeerProcess::PeerProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ < 0) {
    throw std::runtime_error("fork failed");
  }
  if (pid_ == 0) {
    // Fast DDS opens its sockets without close-on-exec; the peer must not inherit ours.
    close_range(3, ~0U, 0);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
}

PeerProcess::~PeerProcess() {
  if (!status_) {
    kill_now();
  }
}

std::optional<int> PeerProcess::wait_exit(std::chrono::milliseconds timeout) {
  // waitpid has no timeout: poll it, finely, until the deadline.
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!status_) {
    int raw = 0;
    if (waitpid(pid_, &raw, WNOHANG) == pid_) {
      status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    } else if (std::chrono::steady_clock::now() >= deadline) {
      break;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  return status_;
}

void PeerProcess::kill_now() {
  if (!status_) {
    kill(pid_, SIGKILL);
    int raw = 0;
    waitpid(pid_, &raw, 0);
    status_ = 128 + SIGKILL;
  }
}

size_t test_domain_id() {
  // Fast DDS port arithmetic allows domains up to 232; 0-99 are left to interactive use.
  return 100 + static_cast<size_t>(getpid()) % 120;
}
