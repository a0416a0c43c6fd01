// The board's side of the node's listeners: the battery unit's frames and terminal, and the
// script commands of the board_sim program against loopback sockets of this test.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <utility>
#include <vector>

#include "board_sim/battery_unit.hpp"
#include "board_sim/board_script.hpp"
#include "board_sim/datagram_sender.hpp"
#include "board_sim/report_pusher.hpp"

namespace {

using board_sim::BatteryUnit;
using board_sim::BoardScript;

constexpr int kWaitMs = 5000;

// Up to count bytes from fd, as many as come before the time-out.
std::string ReadUpTo(int fd, std::size_t count, int timeout_ms = kWaitMs) {
  std::string bytes;
  char chunk[4096];
  pollfd readable{fd, POLLIN, 0};
  while (bytes.size() < count && poll(&readable, 1, timeout_ms) > 0) {
    const ssize_t n = read(fd, chunk, std::min(sizeof(chunk), count - bytes.size()));
    if (n <= 0) break;
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
  return bytes;
}

// The next datagram on fd; empty when none came in time.
std::string NextDatagram(int fd, int timeout_ms = kWaitMs) {
  char datagram[65536];
  pollfd readable{fd, POLLIN, 0};
  if (poll(&readable, 1, timeout_ms) <= 0) return "";
  const ssize_t n = recv(fd, datagram, sizeof(datagram), 0);
  return n > 0 ? std::string(datagram, static_cast<std::size_t>(n)) : "";
}

// A socket of this test on 127.0.0.1 and a port the kernel chose; TCP ones listen.
struct LoopbackSocket {
  explicit LoopbackSocket(int type) : fd(socket(AF_INET, type | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof(address);
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), size), 0);
    if (type == SOCK_STREAM) {
      EXPECT_EQ(listen(fd, 4), 0);
    }
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
  }
  ~LoopbackSocket() { close(fd); }

  // The next connection to a listening socket; -1 when none came in time.
  int Accept() const {
    pollfd readable{fd, POLLIN, 0};
    return poll(&readable, 1, kWaitMs) > 0 ? accept4(fd, nullptr, nullptr, SOCK_CLOEXEC) : -1;
  }

  int fd;
  uint16_t port = 0;
};

// Bytes a cooked terminal would change or swallow (^C, CR, XON, XOFF, LF) reach the reader of
// the terminal unchanged, and a full terminal nobody reads does not stop the writer for good.
TEST(BatteryUnitTerminal, PassesEveryByteAndNeverBlocksWhenUnread) {
  BatteryUnit unit;
  std::string reason;
  ASSERT_TRUE(unit.Open(&reason)) << reason;
  const BatteryUnit::Reading awkward{0x0D, 0x110A, 0x1303, 0x0D11};
  const int reader = open(unit.path().c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(reader, 0) << unit.path();
  unit.Stream(awkward);
  EXPECT_EQ(ReadUpTo(reader, 34), BatteryUnit::Frame(awkward));
  unit.StopStream();
  close(reader);

  EXPECT_FALSE(unit.Write(std::string(1 << 20, 'x')));
  unit.Close();
  EXPECT_FALSE(unit.Write(BatteryUnit::Frame(awkward)));
}

class BoardScriptTest : public ::testing::Test {
protected:
  // The ports of this test's sockets, so that nothing reaches a node on the fixed ports.
  LoopbackSocket reports_{SOCK_STREAM};
  LoopbackSocket datagrams_{SOCK_DGRAM};
  BoardScript script_{nullptr, reports_.port, datagrams_.port, datagrams_.port};
  std::string said_;
};

TEST_F(BoardScriptTest, RefusesBadLinesNamingWhatIsWrong) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"push pause_btn: WorkPause", "unknown command 'push'"},
      {"report", "report needs TEXT"},
      {"report pause_btn: Pause",
       "not a cleaning_component.CleanRobotReport in protobuf text: "
       "Unknown enumeration value of \"Pause\""},
      {"report-split no_such_field: 1", "no field named \"no_such_field\""},
      {"report-close now", "report-close takes no arguments"},
      {"sensor dust_box { value: x }", "not a bottom_internal.SensorDataProto"},
      {"motor seq: -", "not a motor_data.MotorDataRep"},
      {"stream light 10 5 seq: 1", "stream needs sensor|motor HZ COUNT TEXT"},
      {"stream motor 0 5 seq: 1", "stream needs"},
      {"stream sensor 10 5 seq: 1", "SensorDataProto"},
      {"battery 77 -100 6666 5230", "no battery unit (start board_sim with --battery)"},
      {"battery-stop", "no battery unit"},
      {"sleep soon", "sleep needs MS"},
      {"sleep -5", "sleep needs MS"},
  };
  for (const auto& [line, error] : cases) {
    EXPECT_FALSE(script_.Run(line, &said_)) << line;
    EXPECT_NE(said_.find(error), std::string::npos) << line << " -> " << said_;
  }
  BatteryUnit unit;
  BoardScript with_battery(&unit);  // never opened: nothing is sent anywhere
  for (const char* line : {"battery 256 0 0 0", "battery 1 -32769 0 0", "battery 1 0 65536 0",
                           "battery 1 0 0 5230 9", "battery 1 0 0 52.3"}) {
    EXPECT_FALSE(with_battery.Run(line, &said_)) << line;
    EXPECT_NE(said_.find("battery needs RATIO (0-255)"), std::string::npos) << line;
  }
  pollfd connection{reports_.fd, POLLIN, 0};
  EXPECT_EQ(poll(&connection, 1, 0), 0) << "a refused line connected to the report port";
}

TEST_F(BoardScriptTest, DatagramsCarryTheFramedMessageAndStreamsTheirCount) {
  ASSERT_TRUE(script_.Run("sensor dust_box { value: 773 }", &said_)) << said_;
  bottom_internal::SensorDataProto sensor;
  sensor.mutable_dust_box()->set_value(773);
  EXPECT_EQ(NextDatagram(datagrams_.fd), board_sim::DatagramSender::Frame(sensor));

  ASSERT_TRUE(script_.Run("stream motor 200 3 seq: 2", &said_)) << said_;
  motor_data::MotorDataRep motor;
  motor.set_seq(2);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(NextDatagram(datagrams_.fd), board_sim::DatagramSender::Frame(motor)) << i;
  }
  EXPECT_EQ(NextDatagram(datagrams_.fd, 300), "") << "more than COUNT datagrams";
}

// The connection is opened by the first report and again after the node dropped it.
TEST_F(BoardScriptTest, ReportsReconnectAfterTheNodeDroppedTheConnection) {
  cleaning_component::CleanRobotReport pause;
  pause.set_pause_btn(cleaning_component::WorkPause);
  const std::string frame = board_sim::ReportPusher::Frame(pause);
  for (int connection = 0; connection < 2; ++connection) {
    auto line = std::async(std::launch::async,
                           [&] { return script_.Run("report pause_btn: WorkPause", &said_); });
    const int node = reports_.Accept();
    ASSERT_GE(node, 0);
    EXPECT_TRUE(line.get()) << said_;
    EXPECT_NE(said_.find("pushed: pause_btn: WorkPause (new connection)"), std::string::npos)
        << said_;
    EXPECT_EQ(ReadUpTo(node, frame.size()), frame);
    close(node);  // the node drops it
  }
}

TEST_F(BoardScriptTest, ReportResetEndsTheConnectionWithAReset) {
  auto line = std::async(std::launch::async,
                         [&] { return script_.Run("report work_status { status: 1 }", &said_); });
  const int node = reports_.Accept();
  ASSERT_GE(node, 0);
  ASSERT_TRUE(line.get()) << said_;
  ASSERT_TRUE(script_.Run("report-reset", &said_)) << said_;
  EXPECT_EQ(said_, "report connection reset");
  // What was pushed before the reset is still there to read; then the reset itself.
  cleaning_component::CleanRobotReport report;
  report.mutable_work_status()->set_status(1);
  const std::string frame = board_sim::ReportPusher::Frame(report);
  EXPECT_EQ(ReadUpTo(node, frame.size()), frame);
  char byte;
  EXPECT_EQ(read(node, &byte, 1), -1);
  EXPECT_EQ(errno, ECONNRESET);
  close(node);
}

TEST_F(BoardScriptTest, InterruptEndsASleepAtOnce) {
  auto sleeping =
      std::async(std::launch::async, [&] { return script_.Run("sleep 600000", &said_); });
  script_.Interrupt();
  ASSERT_EQ(sleeping.wait_for(std::chrono::milliseconds(kWaitMs)), std::future_status::ready);
  EXPECT_TRUE(sleeping.get());
  EXPECT_EQ(said_, "sleep interrupted");
}

}  // namespace
