#include "bottom_interact_center/battery.hpp"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

#include "bottom_interact_center/battery_frame_parser.hpp"
#include "bottom_interact_center/bottom_interact_center.hpp"

using bottom_interact_center::g_node;

namespace {

// After a read that timed out (1 s without a byte) or failed.
constexpr std::chrono::milliseconds kIdlePause{300};
constexpr std::chrono::milliseconds kLockRetry{1};

void MakeRaw9600(int fd) {
  termios options{};
  tcgetattr(fd, &options);
  cfsetispeed(&options, B9600);
  cfsetospeed(&options, B9600);
  options.c_cflag |= (CLOCAL | CREAD);
  options.c_cflag &= ~(PARENB | CSTOPB | CSIZE);
  options.c_cflag |= CS8;
  options.c_lflag &= ~(ICANON | ECHO | ECHOE | ISIG);
  options.c_iflag &= ~(IXON | IXOFF | IXANY);
  options.c_oflag &= ~OPOST;
  // A read returns as soon as a byte is there, or empty after one second.
  options.c_cc[VMIN] = 0;
  options.c_cc[VTIME] = 10;
  tcsetattr(fd, TCSANOW, &options);
}

}  // namespace

BatterySensor::BatterySensor(const std::string& port_path, WallClock wall_clock)
    : wall_clock_(std::move(wall_clock)),
      port_path_(port_path),
      reader_thread_(&BatterySensor::handler, this) {}

BatterySensor::~BatterySensor() {
  {
    std::lock_guard<std::mutex> lock(stop_mutex_);
    stopping_ = true;
  }
  stop_requested_.notify_all();
  if (reader_thread_.joinable()) {
    reader_thread_.join();
  }
  if (_port_fd >= 0) {
    close(_port_fd);
  }
}

uint64_t BatterySensor::SystemMillis() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::system_clock::now().time_since_epoch())
                                   .count());
}

BatteryRecord BatterySensor::GetLatest() {
  // The reader holds the lock only to copy a record in.
  while (!record_mutex_.try_lock()) {
    std::this_thread::sleep_for(kLockRetry);
  }
  BatteryRecord copy;
  const uint64_t age = wall_clock_() - latest_.stamp_ms;  // a future stamp wraps: stale
  if (age < kFreshForMs) {
    copy = latest_;
    copy.valid = true;
  }
  record_mutex_.unlock();
  return copy;
}

void BatterySensor::handler() {
  RCLCPP_INFO(g_node->get_logger(), "port: %s", port_path_.c_str());
  if (_open(port_path_) < 0) {
    return;
  }
  RCLCPP_INFO(g_node->get_logger(), "_port_fd: %d", _port_fd);
  ReadFrames();
}

int BatterySensor::_open(const std::string& path) {
  _port_fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (_port_fd < 0) {
    RCLCPP_INFO(g_node->get_logger(), "can not open tty port.");
    return -1;
  }
  fcntl(_port_fd, F_SETFL, 0);  // blocking reads from here on, bounded by VTIME
  MakeRaw9600(_port_fd);
  return 0;
}

void BatterySensor::ReadFrames() {
  BatteryFrameParser parser;
  while (!stopping_) {
    const ssize_t n = read(_port_fd, parser.ReadPosition(), parser.ReadCapacity());
    if (n <= 0) {
      if (!PauseUnlessStopping(kIdlePause)) {
        return;
      }
      continue;
    }
    BatteryRecord record;
    uint16_t checksum = 0;
    switch (parser.Commit(static_cast<std::size_t>(n), wall_clock_(), &record, &checksum)) {
      case BatteryFrameParser::Result::kRecord: {
        std::lock_guard<std::mutex> lock(record_mutex_);
        latest_ = record;
        break;
      }
      case BatteryFrameParser::Result::kChecksumError:
        RCLCPP_DEBUG(g_node->get_logger(), "Sensor bat, Sum Check Err. 0x%04x\n", checksum);
        break;
      default:
        break;
    }
  }
}

bool BatterySensor::PauseUnlessStopping(std::chrono::milliseconds pause) {
  std::unique_lock<std::mutex> lock(stop_mutex_);
  return !stop_requested_.wait_for(lock, pause, [this] { return stopping_.load(); });
}
