#include "bottom_interact_center/battery.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "bottom_interact_center/battery_frame_parser.hpp"
#include "bottom_interact_center/bottom_interact_center.hpp"

using bottom_interact_center::g_node;
using bottom_interact_center::HealthEvent;
using bottom_interact_center::HealthState;

namespace {

constexpr int kNotATerminal = 100400036;
constexpr int kPortLost = 100400037;

// After a second without a byte.
constexpr std::chrono::milliseconds kIdlePause{300};
constexpr std::chrono::milliseconds kLockRetry{1};
// Bounds every wait for bytes, so that destruction is never held up for longer.
constexpr int kReadWaitMs = 1000;
// Between two attempts to open the port.
constexpr std::chrono::seconds kReopenInterval{2};

// Bytes read (up to capacity), or 0 when none came within a second, or -1 when the device is
// gone: a USB adapter unplugged hangs its tty up, the closed end of a pseudo-terminal hangs up
// the other, and reads from either fail or return nothing at once from then on.
ssize_t ReadPort(int fd, uint8_t* into, std::size_t capacity) {
  pollfd port{fd, POLLIN, 0};
  const int ready = poll(&port, 1, kReadWaitMs);
  if (ready < 0) {
    return errno == EINTR ? 0 : -1;
  }
  if ((port.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
    return -1;
  }
  if (ready == 0) {
    return 0;
  }
  const ssize_t n = read(fd, into, capacity);
  if (n < 0) {
    return errno == EINTR || errno == EAGAIN ? 0 : -1;
  }
  return n;
}

// Not opened at all: a socket cannot be, and a FIFO would take the node for its reader.
bool ExistsButIsNoDevice(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && !S_ISCHR(info.st_mode);
}

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

BatterySensor::BatterySensor(const std::string& port_path,
                             bottom_interact_center::SourceHealth& health, WallClock wall_clock)
    : health_(health),
      wall_clock_(std::move(wall_clock)),
      port_path_(port_path),
      reader_thread_(&BatterySensor::handler, this) {}

BatterySensor::~BatterySensor() {
  stop_.Request();
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
  bool opened_before = false;
  while (true) {
    const auto attempt = std::chrono::steady_clock::now();
    if (_open(port_path_) == 0) {
      if (opened_before) {
        RCLCPP_INFO(g_node->get_logger(), "battery tty %s is back, _port_fd: %d",
                    port_path_.c_str(), _port_fd);
      } else {
        RCLCPP_INFO(g_node->get_logger(), "_port_fd: %d", _port_fd);
      }
      opened_before = true;
      if (!ReadFrames()) {
        return;  // the destructor closes the port
      }
      ClosePort();
    }
    const auto until_next = attempt + kReopenInterval - std::chrono::steady_clock::now();
    if (stop_.WaitFor(until_next)) {
      return;
    }
  }
}

int BatterySensor::_open(const std::string& path) {
  if (ExistsButIsNoDevice(path)) {
    RefuseNonTerminal();
    return -1;
  }
  _port_fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (_port_fd < 0) {
    health_.SetState(HealthState::kDown);
    if (FirstFailureOfOutage()) {
      RCLCPP_INFO(g_node->get_logger(), "can not open tty port.");
    }
    return -1;
  }
  if (!isatty(_port_fd)) {  // a device, but not a terminal (/dev/zero)
    ClosePort();
    RefuseNonTerminal();
    return -1;
  }
  fcntl(_port_fd, F_SETFL, 0);  // blocking reads from here on, bounded by VTIME
  MakeRaw9600(_port_fd);
  outage_reported_ = false;
  health_.SetState(HealthState::kUp);
  return 0;
}

bool BatterySensor::ReadFrames() {
  BatteryFrameParser parser;
  while (!stop_.Requested()) {
    const ssize_t n = ReadPort(_port_fd, parser.ReadPosition(), parser.ReadCapacity());
    if (n < 0) {
      outage_reported_ = true;  // the attempts to reopen it stay quiet
      health_.SetState(HealthState::kDown);
      RCLCPP_ERROR(g_node->get_logger(),
                   "ErrorCode: %d, battery tty %s lost, trying to reopen it every 2 s", kPortLost,
                   port_path_.c_str());
      return true;
    }
    if (n == 0) {
      if (stop_.WaitFor(kIdlePause)) {
        return false;
      }
      continue;
    }
    BatteryRecord record;
    uint16_t checksum = 0;
    switch (parser.Commit(static_cast<std::size_t>(n), wall_clock_(), &record, &checksum)) {
      case BatteryFrameParser::Result::kRecord: {
        std::lock_guard<std::mutex> lock(record_mutex_);
        latest_ = record;
        health_.Count(HealthEvent::kData);
        break;
      }
      case BatteryFrameParser::Result::kChecksumError:
        health_.Count(HealthEvent::kBadData);
        RCLCPP_DEBUG(g_node->get_logger(), "Sensor bat, Sum Check Err. 0x%04x\n", checksum);
        break;
      default:
        break;
    }
  }
  return false;
}

void BatterySensor::ClosePort() {
  close(_port_fd);
  _port_fd = -1;
}

void BatterySensor::RefuseNonTerminal() {
  health_.SetState(HealthState::kRefused);
  if (FirstFailureOfOutage()) {
    RCLCPP_ERROR(g_node->get_logger(), "ErrorCode: %d, battery tty %s is not a terminal, not read",
                 kNotATerminal, port_path_.c_str());
  }
}

bool BatterySensor::FirstFailureOfOutage() {
  const bool first = !outage_reported_;
  outage_reported_ = true;
  return first;
}
