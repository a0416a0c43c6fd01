// The request/response exchange on a command link, against a bare loopback board: how answers are
// cut out of the TCP stream and judged.
#include <dirent.h>
#include <gtest/gtest.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <future>
#include <memory>
#include <string>
#include <thread>

#include "bottom_interact_center/bottom_interact_handle.hpp"
#include "bottom_interact_center/tcp_client.hpp"
#include "support/loopback_server.hpp"
#include "support/node_environment.hpp"
#include "test_support/poll_until.hpp"

namespace bottom_interact_center::test {
namespace {

namespace cc = cleaning_component;

struct Outcome {
  bool ok = false;
  int32_t status = 0;
  std::string message;
};

int LocalPort(int fd, bool peer) {
  sockaddr_in address{};
  socklen_t len = sizeof(address);
  const int r = peer ? getpeername(fd, reinterpret_cast<sockaddr*>(&address), &len)
                     : getsockname(fd, reinterpret_cast<sockaddr*>(&address), &len);
  return r == 0 && address.sin_family == AF_INET ? ntohs(address.sin_port) : -1;
}

// The client's descriptor of the connection whose server end is conn (both live in this process).
int ClientEndOf(int conn) {
  const int port = LocalPort(conn, true);
  DIR* fds = opendir("/proc/self/fd");
  int found = -1;
  while (dirent* entry = readdir(fds)) {
    const int fd = atoi(entry->d_name);
    if (fd != conn && entry->d_name[0] != '.' && LocalPort(fd, false) == port) {
      found = fd;
    }
  }
  closedir(fds);
  return found;
}

// Waits until the client has read everything the server wrote so far, so the next write arrives
// in a read of its own: first until the client's kernel has acknowledged every byte (nothing left
// in our send queue), then until the client has taken them all.
void WaitConsumed(int conn) {
  const int client_fd = ClientEndOf(conn);
  ASSERT_GE(client_fd, 0);
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  int unacknowledged = 1;
  int unread = 1;
  while ((unacknowledged > 0 || unread > 0) && std::chrono::steady_clock::now() < deadline) {
    ioctl(conn, SIOCOUTQ, &unacknowledged);
    ioctl(client_fd, FIONREAD, &unread);
    std::this_thread::yield();
  }
  ASSERT_EQ(unacknowledged, 0);
  ASSERT_EQ(unread, 0);
}

bool WaitForLog(const std::string& text, std::size_t count = 1) {
  return test_support::PollUntil(5s, [&] { return LogCapture::Count(text) >= count; });
}

class BoardExchangeTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!NodeEnvironment::BoardIsLoopback()) {
      GTEST_SKIP() << "the board address is not loopback";
    }
    LogCapture::Clear();
    client_ = std::make_shared<TcpClient>("127.0.0.1", server_.port());
    ASSERT_TRUE(client_->Init());
    conn_ = server_.Accept();
    ASSERT_GE(conn_, 0);
  }

  // Starts a station query with the given id; the board's side is played by the test.
  std::future<Outcome> StartExchange(int32_t request_id) {
    return std::async(std::launch::async, [this, request_id] {
      cc::CleaningComponentRequest request;
      request.set_request_id(request_id);
      request.mutable_station()->set_cmd(1);
      cc::CleaningComponentResponse response;
      Outcome outcome;
      outcome.ok = handle_.CleanCompReqNeedResp(client_, request, response, 10, outcome.status,
                                                outcome.message);
      return outcome;
    });
  }

  // Reads the request the exchange sent and checks its id.
  void ExpectRequest(int32_t request_id) {
    cc::CleaningComponentRequest request;
    ASSERT_TRUE(server_.ReadRequest(conn_, &request));
    EXPECT_EQ(request.request_id(), request_id);
    EXPECT_EQ(request.station().cmd(), 1);
  }

  LoopbackServer server_;
  std::shared_ptr<TcpClient> client_;
  int conn_ = -1;
  BottomInteractHandle handle_;
};

TEST_F(BoardExchangeTest, AnswerSplitOverSeveralReadsIsAssembled) {
  auto answer = Answer(1001);
  answer.mutable_version()->set_release_version("v2.4.1");
  const std::string frame = Frame(answer);
  ::testing::internal::CaptureStdout();
  auto exchange = StartExchange(1001);
  ExpectRequest(1001);
  server_.Write(conn_, frame.substr(0, 1));  // half of the length field
  WaitConsumed(conn_);
  server_.Write(conn_, frame.substr(1, 4));
  WaitConsumed(conn_);
  server_.Write(conn_, frame.substr(5));
  const Outcome outcome = exchange.get();
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_TRUE(outcome.ok);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(out, "Rcv data from SendCleaningComponentRequest success, rsp datalen = " +
                     std::to_string(frame.size() - 2) + "request id : 1001\n");
  EXPECT_EQ(LogCapture::Count("resp.has_error = 0, req_over_flag = 1, request id : 1001"), 1u);
}

TEST_F(BoardExchangeTest, LargestAnswerThatFitsTheReceiveBufferIsAccepted) {
  auto answer = Answer(1002);
  std::string version;
  while (answer.ByteSizeLong() < 4094) {
    version += 'v';
    answer.mutable_version()->set_release_version(version);
  }
  const std::string frame = Frame(answer);
  ASSERT_EQ(frame.size(), 4096u);
  auto exchange = StartExchange(1002);
  ExpectRequest(1002);
  server_.Write(conn_, frame);
  EXPECT_TRUE(exchange.get().ok);
}

TEST_F(BoardExchangeTest, EveryFrameOfOneReadIsExamined) {
  auto exchange = StartExchange(1003);
  ExpectRequest(1003);
  // An earlier command's late answer and this one's, in one segment.
  server_.Write(conn_, Frame(Answer(1002)) + Frame(Answer(1003)));
  EXPECT_TRUE(exchange.get().ok);
  EXPECT_EQ(LogCapture::Count("Recv data not this request, rcv request id : 1002, current request "
                              "id : 1003"),
            1u);
}

TEST_F(BoardExchangeTest, AnswerWithAnotherIdIsSkippedWithoutSendingAgain) {
  auto exchange = StartExchange(1004);
  ExpectRequest(1004);
  server_.Write(conn_, Frame(Answer(77)));
  ASSERT_TRUE(WaitForLog("Recv data not this request, rcv request id : 77"));
  server_.Write(conn_, Frame(Answer(1004)));
  EXPECT_TRUE(exchange.get().ok);
  int pending = -1;
  ioctl(conn_, FIONREAD, &pending);
  EXPECT_EQ(pending, 0);  // the request was written once
}

TEST_F(BoardExchangeTest, HalfReadFrameIsDroppedWhenTheLinkReconnects) {
  const std::string stale = Frame(Answer(1008));
  auto exchange = StartExchange(1008);
  ExpectRequest(1008);
  server_.Write(conn_, stale.substr(0, 3));
  WaitConsumed(conn_);
  server_.CloseAndWaitSeen(conn_);
  // The exchange reconnects to receive; the board answers on the new connection.
  const int second = server_.Accept();
  ASSERT_GE(second, 0);
  server_.Write(second, Frame(Answer(1008)));
  // Whether the exchange first reads the close (a "rcvlen : 0" failure) or finds the link down
  // before its next read depends on timing; either way it reconnects once.
  EXPECT_TRUE(exchange.get().ok);
  EXPECT_EQ(client_->ConnectionCount(), 2u);
}

TEST_F(BoardExchangeTest, LateAnswerSplitAcrossTwoExchangesIsFramedAndSkipped) {
  const std::string late = Frame(Answer(500));
  auto first = StartExchange(1009);
  ExpectRequest(1009);
  // The first answer arrives with the start of a late one.
  server_.Write(conn_, Frame(Answer(1009)) + late.substr(0, 3));
  EXPECT_TRUE(first.get().ok);

  auto second = StartExchange(1010);
  ExpectRequest(1010);
  server_.Write(conn_, late.substr(3) + Frame(Answer(1010)));
  EXPECT_TRUE(second.get().ok);
  EXPECT_EQ(LogCapture::Count("Recv data not this request, rcv request id : 500"), 1u);
}

TEST_F(BoardExchangeTest, SendOnlyExchangeWritesOneFrameAndReadsNothing) {
  cc::CleaningComponentRequest request;
  request.set_request_id(1011);
  request.set_plt_cmd(4);
  int32_t status = -1;
  std::string message = "untouched";
  EXPECT_TRUE(handle_.CleanCompReq(client_, request, status, message));
  EXPECT_EQ(status, -1);
  EXPECT_EQ(message, "untouched");
  cc::CleaningComponentRequest received;
  ASSERT_TRUE(server_.ReadRequest(conn_, &received));
  EXPECT_EQ(received.request_id(), 1011);
  EXPECT_EQ(received.plt_cmd(), 4);
  EXPECT_EQ(LogCapture::Count("BottomInteractHandle::CleanCompReq request id : 1011"), 1u);
}

TEST_F(BoardExchangeTest, SendOnlyExchangeOnADeadLinkFailsAtOnce) {
  server_.CloseAndWaitSeen(conn_);
  server_.StopListening();
  cc::CleaningComponentRequest request;
  request.set_request_id(1012);
  int32_t status = 0;
  std::string message;
  EXPECT_FALSE(handle_.CleanCompReq(client_, request, status, message));
  EXPECT_EQ(status, 1);
  EXPECT_EQ(message, "CleanCompReq send failed");
  EXPECT_EQ(LogCapture::Count("ErrorCode: 100400011, CleanCompReq send failed, request id : 1012"),
            1u);
}

}  // namespace
}  // namespace bottom_interact_center::test
