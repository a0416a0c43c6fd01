#include "board_sim/battery_unit.hpp"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace board_sim {
namespace {

constexpr std::size_t kFrameSize = 34;
// How long a write waits for room in the terminal's buffer before the bytes are lost.
constexpr int kWritableTimeoutMs = 100;

void PutBigEndian(std::string* frame, std::size_t at, uint16_t value) {
  (*frame)[at] = static_cast<char>(value >> 8);
  (*frame)[at + 1] = static_cast<char>(value & 0xFF);
}

}  // namespace

BatteryUnit::~BatteryUnit() {
  Close();
}

bool BatteryUnit::Open(std::string* reason) {
  // Non-blocking: a full buffer nobody reads must not stop the stream thread for good.
  master_fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (master_fd_ < 0 || grantpt(master_fd_) != 0 || unlockpt(master_fd_) != 0) {
    *reason = std::string("pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  path_ = ptsname(master_fd_);
  slave_fd_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_fd_ < 0) {
    *reason = path_ + ": " + std::strerror(errno);
    return false;
  }
  // Raw from the start: frames written before the node sets the line up stay whole.
  termios raw{};
  tcgetattr(slave_fd_, &raw);
  cfmakeraw(&raw);
  tcsetattr(slave_fd_, TCSANOW, &raw);
  return true;
}

std::string BatteryUnit::Frame(const Reading& reading, bool corrupt_checksum) {
  std::string frame(kFrameSize, '\0');
  frame[0] = static_cast<char>(0xDD);
  frame[1] = 0x03;
  PutBigEndian(&frame, 4, reading.voltage_10mV);
  PutBigEndian(&frame, 6, static_cast<uint16_t>(reading.current_10mA));
  PutBigEndian(&frame, 12, reading.cycles);
  frame[23] = static_cast<char>(reading.remain_ratio);
  uint16_t sum = 0;
  for (std::size_t i = 2; i <= 30; ++i) {
    sum = static_cast<uint16_t>(sum + static_cast<uint8_t>(frame[i]));
  }
  const auto checksum = static_cast<uint16_t>(0x10000 - sum + (corrupt_checksum ? 1 : 0));
  PutBigEndian(&frame, 31, checksum);
  frame[33] = 0x77;
  return frame;
}

bool BatteryUnit::Write(const std::string& bytes) {
  std::size_t written = 0;
  while (master_fd_ >= 0 && written < bytes.size()) {
    const ssize_t n = write(master_fd_, bytes.data() + written, bytes.size() - written);
    if (n < 0 && (errno == EINTR || (errno == EAGAIN && WaitWritable()))) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return written == bytes.size();
}

bool BatteryUnit::WaitWritable() {
  pollfd writable{master_fd_, POLLOUT, 0};
  return poll(&writable, 1, kWritableTimeoutMs) > 0;
}

void BatteryUnit::Stream(const Reading& reading, std::chrono::milliseconds period) {
  std::lock_guard<std::mutex> lock(mutex_);
  reading_ = reading;
  period_ = period;
  ++stream_calls_;
  if (!stream_.joinable()) {
    stopping_ = false;
    stream_ = std::thread(&BatteryUnit::StreamLoop, this);
  }
  changed_.notify_all();
}

void BatteryUnit::StreamLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    const std::string frame = Frame(*reading_);
    lock.unlock();
    Write(frame);
    lock.lock();
    // A new reading is sent at once, not a period later.
    const uint64_t sent = stream_calls_;
    changed_.wait_for(lock, period_, [&] { return stopping_ || stream_calls_ != sent; });
  }
}

void BatteryUnit::StopStream() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (stream_.joinable()) {
    stream_.join();
  }
}

void BatteryUnit::Close() {
  StopStream();
  for (int* fd : {&slave_fd_, &master_fd_}) {
    if (*fd >= 0) {
      close(*fd);
      *fd = -1;
    }
  }
}

}  // namespace board_sim
