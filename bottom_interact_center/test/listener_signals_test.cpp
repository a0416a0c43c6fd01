// The board listeners' receive loops in process, on ephemeral loopback ports: a signal landing in
// a wait is no error and ends no wait early, and a receive that keeps failing does not spin.
#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>

#include "bottom_interact_center/cmd_report_server.hpp"
#include "bottom_interact_center/udp_server.hpp"
#include "support/node_environment.hpp"
#include "test_support/poll_until.hpp"

namespace bottom_interact_center::test {
namespace {

using Clock = std::chrono::steady_clock;

std::set<pid_t> ThreadIds() {
  std::set<pid_t> ids;
  DIR* dir = opendir("/proc/self/task");
  while (const dirent* entry = dir != nullptr ? readdir(dir) : nullptr) {
    if (entry->d_name[0] != '.') {
      ids.insert(static_cast<pid_t>(std::atoi(entry->d_name)));
    }
  }
  if (dir != nullptr) {
    closedir(dir);
  }
  return ids;
}

// The one thread that init started, found by the threads before and after it.
template <typename Init>
pid_t StartedThread(Init init) {
  const std::set<pid_t> before = ThreadIds();
  EXPECT_TRUE(init());
  for (const pid_t id : ThreadIds()) {
    if (before.count(id) == 0) {
      return id;
    }
  }
  ADD_FAILURE() << "no thread started";
  return -1;
}

uint16_t BoundPort(int fd) {
  sockaddr_in address{};
  socklen_t size = sizeof(address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  return ntohs(address.sin_port);
}

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

void Ignore(int) {}

// SIGUSR1 with a handler and without SA_RESTART: a blocked call it lands in returns EINTR.
class ListenerSignalsTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!NodeEnvironment::BoardIsLoopback()) {
      GTEST_SKIP() << "the node was not initialised";
    }
    struct sigaction action {};
    action.sa_handler = &Ignore;
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous_), 0);
    LogCapture::Clear();
  }
  void TearDown() override { sigaction(SIGUSR1, &previous_, nullptr); }

  // A few signals, apart, into the thread's wait.
  static void Interrupt(pid_t thread) {
    for (int i = 0; i < 5; ++i) {
      std::this_thread::sleep_for(20ms);
      syscall(SYS_tgkill, getpid(), thread, SIGUSR1);
    }
  }

  struct sigaction previous_ {};
};

class ProbedUdpServer : public UdpServer {
public:
  ProbedUdpServer() : UdpServer("127.0.0.1", 0) {}
  int fd() const { return sock_fd_; }
  // The datagram "break" leaves the descriptor no socket, so that every later receive fails.
  bool HandleData(const char* data, int len) override {
    if (std::string(data, static_cast<std::size_t>(len)) == "break") {
      const int not_a_socket = open("/dev/null", O_RDONLY | O_CLOEXEC);
      dup2(not_a_socket, sock_fd_);
      close(not_a_socket);
    }
    return UdpServer::HandleData(data, len);
  }
};

TEST_F(ListenerSignalsTest, AnInterruptedDatagramReceiveIsRepeatedAndAFailingOnePauses) {
  ProbedUdpServer server;
  const pid_t receiver = StartedThread([&] { return server.Init(); });
  // The receive thread binds.
  ASSERT_TRUE(test_support::PollUntil(10s, [&] { return BoundPort(server.fd()) != 0; }));
  const sockaddr_in address = Loopback(BoundPort(server.fd()));
  Interrupt(receiver);
  const int sender = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const auto send = [&](const std::string& datagram) {
    sendto(sender, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&address),
           sizeof(address));
  };
  send("x");
  // The receive thread logs an interrupted wait, had it taken it for a failure, before this.
  EXPECT_TRUE(LogCapture::WaitForCount("UDP SERVER  HandleData", 1));
  EXPECT_EQ(LogCapture::Count("100400031"), 0u);

  // Every receive fails from then on: each failure line 100 ms after the one before, no spinning.
  const std::string failure = "ErrorCode: 100400031";
  send("break");
  ASSERT_TRUE(LogCapture::WaitForCount(failure, 1));
  const auto seen = Clock::now();
  const std::size_t seen_count = LogCapture::Count(failure);
  EXPECT_TRUE(LogCapture::WaitForCount(failure, seen_count + 4));
  // The first of the four came after seen at the earliest, the other three 100 ms apart.
  EXPECT_GE(Clock::now() - seen, 300ms);
  server.Stop();
  close(sender);
}

class ProbedReportServer : public CmdReportServer {
public:
  ProbedReportServer() : CmdReportServer("127.0.0.1", 0) {}
  uint16_t port() const { return BoundPort(sock_fd_); }
};

TEST_F(ListenerSignalsTest, AnInterruptedWaitOnTheReportConnectionReadsNothing) {
  ProbedReportServer server;
  const pid_t accepter = StartedThread([&] { return server.Init(); });
  const int board = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  // The accept thread binds and listens.
  ASSERT_TRUE(test_support::PollUntil(10s, [&] {
    const sockaddr_in address = Loopback(server.port());
    return connect(board, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  }));
  // Then the connection loop waits for the board's bytes.
  ASSERT_TRUE(LogCapture::WaitForCount("Accept a connection", 1));
  Interrupt(accepter);
  // The stop shuts the connection down: a read it ended would pass for the board closing it.
  server.Stop();
  EXPECT_EQ(LogCapture::Count("100400027"), 0u);
  close(board);
}

}  // namespace
}  // namespace bottom_interact_center::test
