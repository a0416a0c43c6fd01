#include "rclcpp/detail/signal_handler.hpp"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "rcutils/logging_macros.h"

namespace rclcpp {
namespace detail {

namespace {

// Read by the signal handler, so plain globals set before the handlers are installed.
struct sigaction g_old_sigint_action;
struct sigaction g_old_sigterm_action;
std::atomic<int> g_notify_fd{-1};

struct sigaction& old_action_of(int signum) {
  return signum == SIGINT ? g_old_sigint_action : g_old_sigterm_action;
}

/// The pipe from the handler to the deferred thread.
struct SignalPipe {
  int read_fd;
  int write_fd;
};

SignalPipe make_signal_pipe() {
  int fds[2] = {-1, -1};
  if (pipe2(fds, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("failed to create the signal pipe: ") +
                             std::strerror(errno));
  }
  // A handler must never block: with the pipe full, a signal is dropped instead.
  if (fcntl(fds[1], F_SETFL, O_NONBLOCK) != 0) {
    const int error = errno;
    close(fds[0]);
    close(fds[1]);
    throw std::runtime_error(std::string("failed to configure the signal pipe: ") +
                             std::strerror(error));
  }
  return SignalPipe{fds[0], fds[1]};
}

/// Made on first use and never closed, so that a handler still running while uninstall() runs
/// cannot write to a closed descriptor, or one reused for something else.
const SignalPipe& signal_pipe() {
  static const SignalPipe pipe = make_signal_pipe();
  return pipe;
}

/// Writes the byte that ends the deferred thread, waiting while signals fill the pipe.
void write_stop_byte(int fd) {
  const unsigned char stop = 0;
  while (write(fd, &stop, 1) != 1) {
    if (errno == EAGAIN) {
      pollfd writable{fd, POLLOUT, 0};
      poll(&writable, 1, -1);
    } else if (errno != EINTR) {
      return;
    }
  }
}

}  // namespace

SignalHandler& SignalHandler::get_global_signal_handler() {
  static SignalHandler handler;
  return handler;
}

SignalHandler::~SignalHandler() {
  uninstall();
}

void SignalHandler::chain_to_old_handler(const struct sigaction& old_action, int signum,
                                         siginfo_t* info, void* context) {
  if ((old_action.sa_flags & SA_SIGINFO) != 0) {
    if (old_action.sa_sigaction != nullptr) {
      old_action.sa_sigaction(signum, info, context);
    }
  } else if (old_action.sa_handler != SIG_DFL && old_action.sa_handler != SIG_IGN &&
             old_action.sa_handler != nullptr) {
    old_action.sa_handler(signum);
  }
}

void SignalHandler::handle_signal(int signum, siginfo_t* info, void* context) {
  const int saved_errno = errno;
  chain_to_old_handler(old_action_of(signum), signum, info, context);
  const int fd = g_notify_fd.load();
  if (fd >= 0) {
    const unsigned char byte = static_cast<unsigned char>(signum);
    [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
  }
  errno = saved_errno;
}

void SignalHandler::run_deferred_handler(int read_fd) {
  for (;;) {
    unsigned char signum = 0;
    const ssize_t count = read(read_fd, &signum, 1);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count <= 0 || signum == 0) {
      return;
    }
    RCUTILS_LOG_INFO_NAMED("rclcpp", "signal_handler(signum=%d)", static_cast<int>(signum));
    on_signal_();
  }
}

void SignalHandler::install(std::function<void()> on_signal) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (installed_) {
    return;
  }
  on_signal_ = std::move(on_signal);
  const SignalPipe& pipe = signal_pipe();  // throws before anything has changed
  installed_ = true;
  g_notify_fd = pipe.write_fd;
  deferred_thread_ = std::thread(&SignalHandler::run_deferred_handler, this, pipe.read_fd);
  for (const int signum : {SIGINT, SIGTERM}) {
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    sigemptyset(&action.sa_mask);
    action.sa_sigaction = &SignalHandler::handle_signal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigaction(signum, &action, &old_action_of(signum));
  }
}

void SignalHandler::uninstall() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!installed_) {
    return;
  }
  installed_ = false;
  for (const int signum : {SIGINT, SIGTERM}) {
    sigaction(signum, &old_action_of(signum), nullptr);
  }
  g_notify_fd = -1;
  write_stop_byte(signal_pipe().write_fd);
  deferred_thread_.join();
}

}  // namespace detail
}  // namespace rclcpp
