// Every socket the node creates fails with its own line, and nothing is started, when the process
// has no descriptor left.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include "bottom_interact_center/tcp_server.hpp"
#include "bottom_interact_center/tcp_socket.hpp"
#include "bottom_interact_center/udp_server.hpp"
#include "support/node_environment.hpp"

namespace bottom_interact_center::test {
namespace {

constexpr const char* kLoopback = "127.0.0.1";

// In the AddressSanitizer build UBSan's type checks probe memory through a pipe, and with no
// descriptor left they report errors of their own.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAddressSanitizer = true;
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

// Lowers the process's descriptor limit to the lowest descriptor not in use, so that the next
// one any thread asks for is refused (EMFILE); the limit is restored when the scope ends.
class NoFreeDescriptor {
public:
  NoFreeDescriptor() {
    getrlimit(RLIMIT_NOFILE, &saved_);
    const int lowest_free = dup(STDIN_FILENO);
    close(lowest_free);
    rlimit lowered = saved_;
    lowered.rlim_cur = static_cast<rlim_t>(lowest_free);
    setrlimit(RLIMIT_NOFILE, &lowered);
  }
  ~NoFreeDescriptor() { setrlimit(RLIMIT_NOFILE, &saved_); }
  NoFreeDescriptor(const NoFreeDescriptor&) = delete;
  NoFreeDescriptor& operator=(const NoFreeDescriptor&) = delete;

private:
  rlimit saved_{};
};

TEST(SocketCreation, WithNoDescriptorLeftEverySocketCreationFailsWithItsOwnLine) {
  if (kUnderAddressSanitizer) {
    GTEST_SKIP() << "the sanitizer runtime needs free descriptors";
  }
  LogCapture::Clear();
  TcpSocket tcp;
  // The ports are never reached: creation fails first.
  TcpServer tcp_server(kLoopback, 0, 5);
  UdpServer udp_server(kLoopback, 0);
  int fd = 0;
  bool tcp_created = true;
  bool tcp_server_started = true;
  bool udp_server_started = true;
  {
    NoFreeDescriptor limit;
    tcp_created = tcp.CreateSocket(fd);
    tcp_server_started = tcp_server.Init();
    udp_server_started = udp_server.Init();
  }
  EXPECT_FALSE(tcp_created);
  EXPECT_EQ(fd, -1);
  EXPECT_FALSE(tcp_server_started);
  EXPECT_FALSE(udp_server_started);
  EXPECT_EQ(LogCapture::Count("ErrorCode: 100400029, TcpSocket::CreateSocket failed"), 2u);
  EXPECT_EQ(LogCapture::Count("ErrorCode: 100400029, Create udp socket failed!"), 1u);
  EXPECT_EQ(LogCapture::Count("Start tcp server thread"), 0u);
  EXPECT_EQ(LogCapture::Count("Start udp server thread"), 0u);
}

}  // namespace
}  // namespace bottom_interact_center::test
