// The node's sensor forwarding. Starts the node executable, sends it the board's sensor datagrams
// on loopback, and serves "robot_info_update" here, answering each request at once. Prints:
//   sensor_forward_rate  datagrams forwarded per second, sustained, with a few always in flight
//   sensor_lost_100hz    datagrams sent at the board's 100 Hz that were never forwarded
//
// Usage: listener_bench --node PATH [--rate-seconds S] [--board-seconds S]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench_process.hpp"
#include "bottom_interact_center/board_frame.hpp"
#include "bottom_interact_center/constants.hpp"
#include "rclcpp/rclcpp.hpp"
#include "robot/sensor_data.pb.h"
#include "velmoria_protocol/srv/robot_info_update.hpp"

namespace {

using RobotInfoUpdate = velmoria_protocol::srv::RobotInfoUpdate;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Datagrams sent ahead of the forwarded ones while the rate is measured: enough to keep the node
// busy, few enough never to fill its socket buffer.
constexpr uint64_t kInFlight = 8;
constexpr uint64_t kWarmUp = 200;
constexpr auto kBoardPeriod = 10ms;  // the board's 100 Hz

struct Options {
  std::string node;
  int rate_seconds = 10;
  int board_seconds = 60;
};

// The robot_info_update requests that arrived.
class ForwardCount {
public:
  void Add() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++count_;
    }
    changed_.notify_all();
  }

  uint64_t Now() {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
  }

  // The count once it reaches at_least, or what it is when timeout runs out.
  uint64_t WaitFor(uint64_t at_least, Clock::duration timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return count_ >= at_least; });
    return count_;
  }

  // The count once none arrived for quiet.
  uint64_t Settle(Clock::duration quiet) {
    uint64_t seen = Now();
    while (WaitFor(seen + 1, quiet) > seen) seen = Now();
    return seen;
  }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  uint64_t count_ = 0;
};

// The board's side: one framed sensor datagram, sent again and again to the node's port.
class SensorBoard {
public:
  SensorBoard() : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
    address_.sin_family = AF_INET;
    address_.sin_port = htons(bottom_interact_center::kRobotInfoPort);
    inet_pton(AF_INET, bottom_interact_center::kHostAddress, &address_.sin_addr);
    bottom_internal::SensorDataProto data;
    data.mutable_battery()->set_status(bottom_internal::SensorData_Valid);
    data.mutable_battery()->set_remain_ratio(80);
    data.mutable_battery()->set_voltage(52000);
    data.mutable_battery()->set_charge_status(bottom_internal::NotCharging);
    data.mutable_dust_box()->set_status(bottom_internal::SensorData_Valid);
    data.mutable_dust_box()->set_value(120);
    data.mutable_clean_water_can()->set_value(70);
    bottom_interact_center::BoardFrame::Encode(data, &frame_);
  }
  ~SensorBoard() { close(fd_); }

  bool Send() const {
    return sendto(fd_, frame_.data(), frame_.size(), 0,
                  reinterpret_cast<const sockaddr*>(&address_),
                  sizeof(address_)) == static_cast<ssize_t>(frame_.size());
  }

private:
  int fd_;
  sockaddr_in address_{};
  std::vector<uint8_t> frame_;
};

// Forwarded datagrams per second over seconds, kInFlight ahead of the node all the while.
double ForwardRate(const SensorBoard& board, ForwardCount& forwarded, int seconds) {
  uint64_t sent = forwarded.Now();
  auto send_ahead = [&](Clock::time_point until) {
    while (Clock::now() < until) {
      // A datagram lost on the way must not stall the sender for good.
      forwarded.WaitFor(sent > kInFlight ? sent - kInFlight : 0, 100ms);
      if (board.Send()) ++sent;
    }
  };
  const uint64_t before_warm_up = forwarded.Now();
  while (forwarded.Now() < before_warm_up + kWarmUp) send_ahead(Clock::now() + 100ms);
  const uint64_t start_count = forwarded.Now();
  const auto start = Clock::now();
  send_ahead(start + std::chrono::seconds(seconds));
  const uint64_t end_count = forwarded.Now();
  const std::chrono::duration<double> took = Clock::now() - start;
  return static_cast<double>(end_count - start_count) / took.count();
}

// Datagrams sent at the board's period for seconds that were never forwarded.
long LostAtBoardRate(const SensorBoard& board, ForwardCount& forwarded, int seconds) {
  const uint64_t before = forwarded.Settle(500ms);
  const long count = seconds * static_cast<long>(1s / kBoardPeriod);
  long sent = 0;
  auto next = Clock::now();
  for (long i = 0; i < count; ++i) {
    if (board.Send()) ++sent;
    std::this_thread::sleep_until(next += kBoardPeriod);
  }
  const uint64_t arrived = forwarded.WaitFor(before + static_cast<uint64_t>(count), 2s) - before;
  return count - static_cast<long>(std::min<uint64_t>(arrived, static_cast<uint64_t>(sent)));
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--node") {
      options->node = argv[i + 1];
    } else if (flag == "--rate-seconds") {
      options->rate_seconds = std::max(1, std::atoi(argv[i + 1]));
    } else if (flag == "--board-seconds") {
      options->board_seconds = std::max(1, std::atoi(argv[i + 1]));
    } else {
      return false;
    }
  }
  return !options->node.empty() && argc % 2 == 1;
}

int Run(const Options& options) {
  auto node = std::make_shared<rclcpp::Node>("listener_bench");
  ForwardCount forwarded;
  auto service = node->create_service<RobotInfoUpdate>(
      bottom_interact_center::kRobotInfoUpdateService,
      [&forwarded](const std::shared_ptr<RobotInfoUpdate::Request>,
                   std::shared_ptr<RobotInfoUpdate::Response> response) {
        response->status = 0;
        forwarded.Add();
      });
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  std::thread spinner([&executor] { executor.spin(); });
  int status = 1;
  {
    BenchProcess bridge({options.node, "--ros-args", "-p", "battery_source_path:=''"});
    SensorBoard board;
    // The node takes datagrams before it has found the service: wait for the first forward.
    const auto deadline = Clock::now() + 15s;
    while (Clock::now() < deadline && forwarded.WaitFor(1, 100ms) == 0) board.Send();
    if (forwarded.Now() == 0) {
      std::fprintf(stderr, "listener_bench: nothing was forwarded to robot_info_update\n");
    } else {
      std::printf("sensor_forward_rate: %.0f /s\n",
                  ForwardRate(board, forwarded, options.rate_seconds));
      std::fflush(stdout);
      std::printf("sensor_lost_100hz: %ld\n",
                  LostAtBoardRate(board, forwarded, options.board_seconds));
      status = 0;
    }
  }
  // Ends the spin whether or not it has begun.
  rclcpp::shutdown();
  spinner.join();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: listener_bench --node PATH [--rate-seconds S] [--board-seconds S]\n");
    return 2;
  }
  rclcpp::init(1, argv);
  return Run(options);
}
