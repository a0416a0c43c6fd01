// The listening socket classes as they are, without a subclass's handling: the defaults serve and
// stop cleanly, and every socket the node creates fails with its own line when the process has
// no descriptor left.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "bottom_interact_center/tcp_server.hpp"
#include "bottom_interact_center/tcp_socket.hpp"
#include "bottom_interact_center/udp_server.hpp"
#include "support/node_environment.hpp"

namespace bottom_interact_center::test {
namespace {

constexpr const char* kLoopback = "127.0.0.1";

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

// A loopback port of the given socket type that nothing is bound to at the moment.
int FreePort(int type) {
  const int fd = socket(AF_INET, type, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  socklen_t length = sizeof(address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

sockaddr_in LoopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// A connection to the loopback port, made once something listens there (the servers bind on
// their own thread, after Init has returned); -1 if nothing does within 5 s.
int ConnectOnceListening(int port) {
  const sockaddr_in address = LoopbackAddress(port);
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (std::chrono::steady_clock::now() < deadline) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
      return fd;
    }
    close(fd);
    std::this_thread::sleep_for(5ms);
  }
  return -1;
}

// Waits until a log line containing text has been captured count times.
bool LoggedWithin(const std::string& text, std::size_t count, std::chrono::seconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (LogCapture::Count(text) < count) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

class SocketServersTest : public ::testing::Test {
protected:
  void SetUp() override { LogCapture::Clear(); }
};

TEST_F(SocketServersTest, BaseTcpServerClosesEachConnectionAndStopsWhenDestroyed) {
  const int port = FreePort(SOCK_STREAM);
  auto server = std::make_unique<TcpServer>(kLoopback, port, 5);
  ASSERT_TRUE(server->Init());
  for (int connection = 0; connection < 2; ++connection) {
    const int client = ConnectOnceListening(port);
    ASSERT_GE(client, 0) << "the server never listened";
    char byte = 0;
    EXPECT_EQ(recv(client, &byte, 1, 0), 0) << "the connection was not closed";
    close(client);
  }
  EXPECT_TRUE(LoggedWithin("Handle Accept connection", 2, 5s));

  server.reset();
  EXPECT_EQ(LogCapture::Count("~TcpServer"), 1u);
}

TEST_F(SocketServersTest, BaseUdpServerHandlesAnEmptyDatagramAndStopsWhenDestroyed) {
  const int port = FreePort(SOCK_DGRAM);
  auto server = std::make_unique<UdpServer>(kLoopback, port);
  ASSERT_TRUE(server->Init());

  // Sent until the receive thread has bound: a datagram before that is simply not delivered.
  const int sender = socket(AF_INET, SOCK_DGRAM, 0);
  const sockaddr_in address = LoopbackAddress(port);
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (LogCapture::Count("UDP SERVER  HandleData") == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    sendto(sender, "", 0, 0, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_GE(LogCapture::Count("UDP SERVER  HandleData"), 1u);
  close(sender);

  server.reset();  // must not hang in the blocked receive
  EXPECT_EQ(LogCapture::Count("Udp Server failed to receive data"), 0u);
}

TEST_F(SocketServersTest, WithNoDescriptorLeftEverySocketCreationFailsWithItsOwnLine) {
  TcpSocket tcp;
  TcpServer tcp_server(kLoopback, FreePort(SOCK_STREAM), 5);
  UdpServer udp_server(kLoopback, FreePort(SOCK_DGRAM));
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
