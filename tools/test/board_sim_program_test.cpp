// The board_sim program as a user runs it: options, printed requests, stop on a signal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

#include "child_process.hpp"
#include "raw_board_client.hpp"

namespace {

using board_sim_test::RawBoardClient;
using test_support::ChildProcess;

constexpr std::chrono::milliseconds kWait{5000};
const std::string kProgram = BOARD_SIM_PROGRAM;

struct Ports {
  uint16_t procter = 0;
  uint16_t light = 0;
};

// The program's start-up line names the ports the kernel chose for --*-port 0.
std::optional<Ports> WaitForListening(ChildProcess* sim) {
  const auto line = sim->out().WaitFor("listening on", 0, kWait);
  unsigned procter = 0;
  unsigned light = 0;
  if (!line || std::sscanf(line->c_str(), "listening on %*[^:]: procter port %u, light port %u",
                           &procter, &light) != 2) {
    return std::nullopt;
  }
  return Ports{static_cast<uint16_t>(procter), static_cast<uint16_t>(light)};
}

TEST(BoardSimProgram, PrintsDecodedRequestsAndStopsOnSigterm) {
  ChildProcess sim({kProgram, "--procter-port", "0", "--light-port", "0", "--scenario",
                    "wheel=error:2", "--scenario", "version=version:V1.2.3"});
  ASSERT_TRUE(sim.started());
  const auto ports = WaitForListening(&sim);
  ASSERT_TRUE(ports);

  RawBoardClient procter(ports->procter);
  ASSERT_TRUE(procter.SendRequest("request_id: 7 wheel_cmd { cmd: 2 }"));
  const auto wheel = procter.NextResponse(kWait);
  ASSERT_TRUE(wheel);
  EXPECT_EQ(wheel->error().err_code(), 2);
  EXPECT_TRUE(sim.out().WaitFor(
      "[procter] wheel: request_id: 7 wheel_cmd { cmd: WheelCmd_Lock } -> error:2", 0, kWait));
  ASSERT_TRUE(procter.SendRequest("request_id: 8 plt_cmd: 1"));
  const auto version = procter.NextResponse(kWait);
  ASSERT_TRUE(version);
  EXPECT_EQ(version->version().release_version(), "V1.2.3");

  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.WaitExit(kWait), 0);
}

TEST(BoardSimProgram, NamesItsBatteryTerminalAndStopsOnSigint) {
  ChildProcess sim({kProgram, "--procter-port", "0", "--light-port", "0", "--battery"});
  ASSERT_TRUE(WaitForListening(&sim));
  // The demo and the soak find the battery unit's terminal by this line.
  const auto line = sim.out().WaitFor("battery unit on /dev/pts/", 0, kWait);
  ASSERT_TRUE(line) << sim.out().Text();
  const std::string path = line->substr(line->find("/dev/pts/"));
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  EXPECT_TRUE(fd >= 0 && isatty(fd)) << path;
  close(fd);
  sim.Signal(SIGINT);
  EXPECT_EQ(sim.WaitExit(kWait), 0);
}

TEST(BoardSimProgram, HelpExitsZero) {
  ChildProcess sim({kProgram, "--help"});
  EXPECT_EQ(sim.WaitExit(kWait), 0);
  EXPECT_NE(sim.out().Text().find("--scenario KIND=SCENARIO"), std::string::npos);
}

TEST(BoardSimProgram, BadOptionIsAnErrorNamingIt) {
  ChildProcess sim({kProgram, "--scenario", "wheel=explode"});
  EXPECT_EQ(sim.WaitExit(kWait), 2);
  EXPECT_NE(sim.out().Text().find("unknown scenario 'explode'"), std::string::npos);
}

TEST(BoardSimProgram, TakenPortIsAnError) {
  ChildProcess first({kProgram, "--procter-port", "0", "--light-port", "0"});
  const auto ports = WaitForListening(&first);
  ASSERT_TRUE(ports);
  ChildProcess second(
      {kProgram, "--procter-port", std::to_string(ports->procter), "--light-port", "0"});
  EXPECT_EQ(second.WaitExit(kWait), 1);
  EXPECT_NE(second.out().Text().find("Address already in use"), std::string::npos);
}

}  // namespace
