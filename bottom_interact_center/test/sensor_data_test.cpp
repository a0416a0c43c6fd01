// The sensor-data path in process, on clocks of the test: how long a battery unit's reading
// stands in for the board's figures, and how often missing board figures are complained about.
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bottom_interact_center/battery.hpp"
#include "bottom_interact_center/bottom_interact_center.hpp"
#include "bottom_interact_center/constants.hpp"
#include "bottom_interact_center/robot_info_server.hpp"
#include "support/battery_frames.hpp"
#include "support/node_environment.hpp"
#include "support/spun_nodes.hpp"
#include "velmoria_protocol/srv/robot_info_update.hpp"

namespace bottom_interact_center::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint64_t kReceivedAt = 1'700'000'000'000;
// How long a reading stands in for the board's figures, as documented (not the code's constant).
constexpr uint64_t kReadingLifetimeMs = 3000;

// The battery unit's end of a pseudo-terminal; the sensor opens the other end by its path.
class BatteryTerminal {
public:
  BatteryTerminal() {
    int follower = -1;
    char name[128] = {};
    EXPECT_EQ(openpty(&leader_, &follower, name, nullptr, nullptr), 0);
    path_ = name;
    close(follower);  // the sensor opens it anew
  }
  ~BatteryTerminal() { close(leader_); }

  const std::string& path() const { return path_; }
  bool Send(const std::vector<uint8_t>& bytes) const {
    return write(leader_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }

private:
  int leader_ = -1;
  std::string path_;
};

TEST(BatterySensorTest, AReadingIsFreshForThreeSecondsAfterItsArrivalAndNeverBeforeIt) {
  BatteryTerminal unit;
  std::atomic<uint64_t> now{kReceivedAt};
  bottom_interact_center::SourceHealth health;
  BatterySensor sensor(unit.path(), health, [&now] { return now.load(); });
  // Sent until one arrives: the sensor opens the terminal on its thread, after this test started.
  const auto deadline = Clock::now() + 10s;
  while (!sensor.GetLatest().valid && Clock::now() < deadline) {
    ASSERT_TRUE(unit.Send(DischargingFrame()));
    std::this_thread::sleep_for(50ms);
  }
  BatteryRecord reading = sensor.GetLatest();
  ASSERT_TRUE(reading.valid);
  EXPECT_EQ(reading.stamp_ms, kReceivedAt);
  EXPECT_EQ(reading.remain_ratio, 85);
  EXPECT_EQ(reading.voltage, 52300u);

  now = kReceivedAt + kReadingLifetimeMs - 1;
  EXPECT_TRUE(sensor.GetLatest().valid);
  now = kReceivedAt + kReadingLifetimeMs;
  reading = sensor.GetLatest();
  EXPECT_FALSE(reading.valid);
  EXPECT_EQ(reading.remain_ratio, 0);
  now = kReceivedAt - 1;  // the wall clock stepped back: the reading is from the future
  EXPECT_FALSE(sensor.GetLatest().valid);
}

// g_node spun, and the robot information service answering every forward at once.
class RobotInfoServerTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!NodeEnvironment::BoardIsLoopback()) {
      GTEST_SKIP() << "the node was not initialised";
    }
    service_ = peer_->create_service<velmoria_protocol::srv::RobotInfoUpdate>(
        kRobotInfoUpdateService,
        [](const std::shared_ptr<velmoria_protocol::srv::RobotInfoUpdate::Request>,
           std::shared_ptr<velmoria_protocol::srv::RobotInfoUpdate::Response> response) {
          response->status = 0;
        });
    spun_ = std::make_unique<SpunNodes>(std::vector<rclcpp::Node::SharedPtr>{g_node, peer_});
    LogCapture::Clear();
  }

  rclcpp::Node::SharedPtr peer_ = std::make_shared<rclcpp::Node>("robot_info_peer");
  rclcpp::Service<velmoria_protocol::srv::RobotInfoUpdate>::SharedPtr service_;
  std::unique_ptr<SpunNodes> spun_;
};

TEST_F(RobotInfoServerTest, MissingBoardBatteryFiguresAreComplainedAboutOncePerTenSeconds) {
  Clock::time_point now = Clock::now();
  RobotInfoServer server("127.0.0.1", 0, [&now] { return now; });
  const auto start = now;
  const std::string complaint = "ErrorCode: 100400033, battery get bad battery info";
  std::size_t complaints = 0;
  for (const auto at : {0ms, 9999ms, 10000ms, 15000ms, 19999ms, 20000ms}) {
    now = start + at;
    bottom_internal::SensorDataProto unknown;
    unknown.mutable_battery()->set_remain_ratio(-1);  // the board knows no figure
    bottom_internal::SensorDataProto missing;         // no battery at all
    server.HandleSensorData(at == 15000ms ? missing : unknown);
    complaints = LogCapture::Count(complaint);
    EXPECT_EQ(complaints, at < 10000ms ? 0u : at < 20000ms ? 1u : 2u) << at.count() << " ms";
  }
  EXPECT_EQ(LogCapture::Count("Update Robot Info failed"), 0u);
}

}  // namespace
}  // namespace bottom_interact_center::test
