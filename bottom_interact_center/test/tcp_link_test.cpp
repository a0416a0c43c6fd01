// The TCP link classes against a bare loopback server: whole writes, read results, connection
// checks, the self-repairing client with its link events and the drain of a link nobody reads.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bottom_interact_center/link_drain.hpp"
#include "bottom_interact_center/tcp_client.hpp"
#include "bottom_interact_center/tcp_socket.hpp"
#include "support/loopback_server.hpp"
#include "support/node_environment.hpp"

namespace bottom_interact_center::test {
namespace {

constexpr int32_t kLost = 1;
constexpr int32_t kRestored = 0;

class TcpLinkTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!NodeEnvironment::BoardIsLoopback()) {
      GTEST_SKIP() << "the board address is not loopback";
    }
    LogCapture::Clear();
    NodeEnvironment::Events().Clear();
  }

  // A client-side socket connected to the server, with the server's end of it.
  int ConnectRaw(int* server_end) {
    int fd = -1;
    EXPECT_TRUE(socket_.CreateSocket(fd));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(server_.port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    *server_end = server_.Accept();
    raw_fds_.push_back(fd);
    return fd;
  }

  void TearDown() override {
    for (int fd : raw_fds_) {
      close(fd);
    }
  }

  LoopbackServer server_;
  TcpSocket socket_;
  std::vector<int> raw_fds_;
};

template <typename T>
T Option(int fd, int level, int name) {
  T value{};
  socklen_t len = sizeof(value);
  getsockopt(fd, level, name, &value, &len);
  return value;
}

// ---- TcpSocket ----

TEST_F(TcpLinkTest, SocketOptionsGiveKeepAliveProbingAndTransferTimeouts) {
  int fd = -1;
  ASSERT_TRUE(socket_.CreateSocket(fd));
  raw_fds_.push_back(fd);
  EXPECT_EQ(Option<int>(fd, SOL_SOCKET, SO_TYPE), SOCK_STREAM);
  ASSERT_TRUE(socket_.SetSockOpt(fd, false));
  EXPECT_EQ(Option<int>(fd, SOL_SOCKET, SO_KEEPALIVE), 1);
  EXPECT_EQ(Option<int>(fd, IPPROTO_TCP, TCP_KEEPIDLE), 20);
  EXPECT_EQ(Option<int>(fd, IPPROTO_TCP, TCP_KEEPINTVL), 6);
  EXPECT_EQ(Option<int>(fd, IPPROTO_TCP, TCP_KEEPCNT), 3);
  EXPECT_EQ(Option<timeval>(fd, SOL_SOCKET, SO_SNDTIMEO).tv_sec, 3);
  EXPECT_EQ(Option<timeval>(fd, SOL_SOCKET, SO_RCVTIMEO).tv_sec, 10);
  EXPECT_EQ(Option<int>(fd, SOL_SOCKET, SO_REUSEADDR), 0);

  int reusing = -1;
  ASSERT_TRUE(socket_.CreateSocket(reusing));
  raw_fds_.push_back(reusing);
  ASSERT_TRUE(socket_.SetSockOpt(reusing, true));
  EXPECT_EQ(Option<int>(reusing, SOL_SOCKET, SO_REUSEADDR), 1);
}

TEST_F(TcpLinkTest, SocketOptionFailureIsLoggedAndEchoedOnlyForTimeouts) {
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(socket_.SetSockOpt(-1, true));
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(LogCapture::Count("ErrorCode: 100400028, TcpSocket::SetSockOpt SO_KEEPALIVE failed"),
            1u);
  // It stopped at the first option: nothing else was tried, and keep-alive is not echoed.
  EXPECT_EQ(LogCapture::Count("SetSockOpt"), 1u);
  EXPECT_EQ(out, "");
}

std::atomic<int> g_interrupts{0};
void CountInterrupt(int) {
  ++g_interrupts;
}

TEST_F(TcpLinkTest, SendWritesEveryByteThroughPartialAndInterruptedWrites) {
  int server_end = -1;
  const int fd = ConnectRaw(&server_end);
  // Far more data than the (small) socket buffers hold, so the send blocks until the server
  // reads; a signal landing in a blocked send makes it return the bytes written so far, or fail
  // with EINTR when it had written none yet.
  const int small = 4096;
  setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &small, sizeof(small));
  setsockopt(server_end, SOL_SOCKET, SO_RCVBUF, &small, sizeof(small));
  struct sigaction action {};
  action.sa_handler = &CountInterrupt;  // no SA_RESTART: interrupted calls return
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
  std::string data(1 << 17, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<char>(i * 7 + i / 251);
  }
  std::atomic<bool> done{false};
  bool sent = false;
  std::thread sender([&] {
    sent = socket_.SendData(fd, reinterpret_cast<const uint8_t*>(data.data()),
                            static_cast<unsigned>(data.size()));
    done = true;
  });
  // While the server does not read, the sender stays blocked and every signal interrupts it.
  std::thread interrupter([&, target = sender.native_handle()] {
    while (g_interrupts < 200 && !done) {
      pthread_kill(target, SIGUSR1);
      std::this_thread::yield();
    }
  });
  interrupter.join();
  std::string received;
  const bool complete = server_.ReadExactly(server_end, data.size(), &received, 30s);
  if (!complete) {
    shutdown(server_end, SHUT_RDWR);  // lets a sender still blocked return
  }
  sender.join();
  sigaction(SIGUSR1, &previous, nullptr);

  EXPECT_TRUE(sent);
  ASSERT_TRUE(complete);
  EXPECT_TRUE(received == data);
  EXPECT_GE(g_interrupts, 200);
  EXPECT_EQ(LogCapture::Count("Send data failed"), 0u);
}

TEST_F(TcpLinkTest, SendToAClosedPeerFailsWithoutKillingTheProcess) {
  int server_end = -1;
  const int fd = ConnectRaw(&server_end);
  server_.CloseAndWaitSeen(server_end);
  server_.Close(server_end);  // the next segment from us is answered with a reset
  // The middleware may ignore SIGPIPE for the whole process; the link must not rely on that.
  struct sigaction fatal {};
  fatal.sa_handler = SIG_DFL;
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGPIPE, &fatal, &previous), 0);
  const std::string chunk(1000, 'x');
  const auto send_chunk = [&] {
    return socket_.SendData(fd, reinterpret_cast<const uint8_t*>(chunk.data()), 1000);
  };
  bool sent = true;
  for (int i = 0; i < 100 && sent; ++i) {
    sent = send_chunk();  // accepted until the reset has come back
  }
  EXPECT_FALSE(sent);
  // The reset has been reported; from now on every send is a broken pipe.
  EXPECT_FALSE(send_chunk());
  sigaction(SIGPIPE, &previous, nullptr);
  // totalLen is 0 unless the kernel took part of a chunk before the reset came back.
  EXPECT_EQ(LogCapture::Count("ErrorCode: 100400025, TcpSocket::Send data failed, totalLen: "), 2u);
  EXPECT_EQ(LogCapture::Count("dataLen: 1000, ret: -1"), 2u);
}

TEST_F(TcpLinkTest, ReceiveReportsCountPeerCloseTimeoutAndError) {
  int server_end = -1;
  const int fd = ConnectRaw(&server_end);
  uint8_t buf[16];

  server_.Write(server_end, "abc");
  EXPECT_EQ(socket_.RecvData(fd, buf, sizeof(buf)), 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 3), "abc");

  // A quiet peer: the receive time-out ends the read silently.
  const timeval short_timeout{0, 50000};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &short_timeout, sizeof(short_timeout));
  EXPECT_EQ(socket_.RecvData(fd, buf, sizeof(buf)), -1);
  EXPECT_TRUE(LogCapture::Lines().empty());

  server_.CloseAndWaitSeen(server_end);
  EXPECT_EQ(socket_.RecvData(fd, buf, sizeof(buf)), 0);
  EXPECT_EQ(LogCapture::Count("ErrorCode: 100400027, TcpSocket::RecvData connect shutdown"), 1u);

  EXPECT_EQ(socket_.RecvData(-1, buf, sizeof(buf)), -1);
  EXPECT_EQ(LogCapture::Count("ErrorCode: 100400026, TcpSocket::RecvData failed, ret:-1, errno:9"),
            1u);
}

TEST_F(TcpLinkTest, ConnectionCheckPublishesOneLinkLostEventPerNegativeAnswer) {
  int server_end = -1;
  const int fd = ConnectRaw(&server_end);
  EXPECT_TRUE(socket_.IsConnected(fd));

  EXPECT_FALSE(socket_.IsConnected(-1));
  server_.CloseAndWaitSeen(server_end);
  EXPECT_FALSE(socket_.IsConnected(fd));
  EXPECT_EQ(NodeEnvironment::Events().WaitFor(2), (std::vector<int32_t>{kLost, kLost}));
  EXPECT_TRUE(LogCapture::Lines().empty());
}

// ---- TcpClient ----

TEST_F(TcpLinkTest, ClientInitConnectsAndAnnouncesTheRestoredLink) {
  TcpClient client("127.0.0.1", server_.port());
  ASSERT_TRUE(client.Init());
  EXPECT_GE(server_.Accept(), 0);
  EXPECT_EQ(client.ConnectionCount(), 1u);
  EXPECT_EQ(NodeEnvironment::Events().WaitFor(1), std::vector<int32_t>{kRestored});
  EXPECT_EQ(LogCapture::Count("Try to connect server 127.0.0.1:" + std::to_string(server_.port())),
            1u);
  EXPECT_EQ(LogCapture::Count("TcpSocket::Connect get flag: 0"), 1u);
}

// Left unparsed, such an address would be 0.0.0.0, which reaches this host's listener.
TEST_F(TcpLinkTest, AMalformedBoardAddressFailsTheConnectInsteadOfReachingThisHost) {
  for (const char* address : {"127.0.0.1x", ""}) {
    TcpClient client(address, server_.port());
    EXPECT_FALSE(client.Init()) << address;
    EXPECT_EQ(client.ConnectionCount(), 0u) << address;
  }
}

TEST_F(TcpLinkTest, ClientWithoutServerFailsOnceAndRetriesOnUse) {
  const int port = server_.port();
  server_.StopListening();
  TcpClient client("127.0.0.1", port);
  EXPECT_FALSE(client.Init());
  EXPECT_EQ(LogCapture::Count("ErrorCode: 100400021, TcpSocket::Connect failed"), 1u);

  const uint8_t byte = 1;
  EXPECT_FALSE(client.SendData(&byte, 1));
  uint8_t buf[4];
  EXPECT_EQ(client.RecvData(buf, sizeof(buf)), 0);
  // Each use found the link down (one link-lost event) and made one connection attempt.
  EXPECT_EQ(NodeEnvironment::Events().WaitFor(2), (std::vector<int32_t>{kLost, kLost}));
  EXPECT_EQ(LogCapture::Count("TcpSocket::Connect failed"), 3u);
  EXPECT_EQ(client.ConnectionCount(), 0u);
  client.Close();
  client.Close();
}

TEST_F(TcpLinkTest, SendAfterPeerCloseReconnectsAndWritesOnTheNewConnection) {
  TcpClient client("127.0.0.1", server_.port());
  ASSERT_TRUE(client.Init());
  const int first = server_.Accept();
  server_.CloseAndWaitSeen(first);

  const std::string data = "request";
  ASSERT_TRUE(client.SendData(reinterpret_cast<const uint8_t*>(data.data()), 7));
  const int second = server_.Accept();
  ASSERT_GE(second, 0);
  std::string received;
  ASSERT_TRUE(server_.ReadExactly(second, 7, &received));
  EXPECT_EQ(received, data);
  EXPECT_EQ(client.ConnectionCount(), 2u);
  EXPECT_EQ(NodeEnvironment::Events().WaitFor(3),
            (std::vector<int32_t>{kRestored, kLost, kRestored}));
}

// A board that answers and then closes: its answer is read before the link is rebuilt.
TEST_F(TcpLinkTest, ReceiveAfterPeerCloseReadsWhatTheOldConnectionHeldThenTheNewOne) {
  TcpClient client("127.0.0.1", server_.port());
  ASSERT_TRUE(client.Init());
  const int first = server_.Accept();
  server_.Write(first, "old");
  server_.CloseAndWaitSeen(first);

  uint8_t buf[16];
  ASSERT_EQ(client.RecvData(buf, sizeof(buf)), 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 3), "old");
  EXPECT_EQ(client.ConnectionCount(), 1u);

  std::thread board([&] {
    const int second = server_.Accept();
    server_.Write(second, "new");
  });
  const int n = client.RecvData(buf, sizeof(buf));
  board.join();
  ASSERT_EQ(n, 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 3), "new");
  EXPECT_EQ(NodeEnvironment::Events().WaitFor(3),
            (std::vector<int32_t>{kRestored, kLost, kRestored}));
}

// More than the board's send buffer and this end's receive buffer can hold together (at most
// 4 MB and 32 MB here): the board's write ends only once the drain has read most of it.
TEST_F(TcpLinkTest, ADrainEmptiesALinkTheBoardFillsButNeverWhileACommandHoldsIt) {
  auto client = std::make_shared<TcpClient>("127.0.0.1", server_.port());
  ASSERT_TRUE(client->Init());
  const int board = server_.Accept();
  ASSERT_GE(board, 0);
  std::mutex link_mutex;
  std::unique_lock<std::mutex> command(link_mutex);
  LinkDrain drain(link_mutex, client, rclcpp::get_logger("link_drain_test"), "Light link");
  auto answers =
      std::async(std::launch::async, [&] { server_.Write(board, std::string(40 << 20, 'a')); });

  // The board is held back while a command has the link ...
  EXPECT_EQ(answers.wait_for(5 * LinkDrain::kPeriod), std::future_status::timeout);
  command.unlock();
  // ... and runs free once it is done with it.
  const bool board_ran_free = answers.wait_for(10s) == std::future_status::ready;
  EXPECT_TRUE(board_ran_free);
  if (!board_ran_free) {
    shutdown(board, SHUT_RDWR);  // ends the stuck write, so the test can end
  }
  EXPECT_EQ(client->ConnectionCount(), 1u);
}

// A board that reads only once it has said all it has to say, more than the buffers of both sides
// hold: a light command's send must not wait for it to read, or both wait for good.
TEST_F(TcpLinkTest, ASendWaitingForRoomOnALinkNobodyReadsDropsWhatTheBoardSends) {
  auto client =
      std::make_shared<TcpClient>("127.0.0.1", server_.port(), TcpClient::Incoming::kDropped);
  ASSERT_TRUE(client->Init());
  const int board = server_.Accept();
  ASSERT_GE(board, 0);
  const std::string requests(40 << 20, 'r');
  auto board_side = std::async(std::launch::async, [&] {
    server_.Write(board, std::string(40 << 20, 'a'));
    std::string received;
    return server_.ReadExactly(board, requests.size(), &received, 20s) && received == requests;
  });

  EXPECT_TRUE(client->SendData(reinterpret_cast<const uint8_t*>(requests.data()),
                               static_cast<unsigned>(requests.size())));
  const bool board_done = board_side.wait_for(20s) == std::future_status::ready;
  EXPECT_TRUE(board_done);
  if (!board_done) {
    shutdown(board, SHUT_RDWR);  // ends the stuck write, so the test can end
  }
  EXPECT_TRUE(board_side.get() && board_done);
  EXPECT_EQ(client->ConnectionCount(), 1u);
}

}  // namespace
}  // namespace bottom_interact_center::test
