#include "board_sim/battery_unit.hpp"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace board_sim {
namespace {

constexpr std::size_t kFrameSize = 34;

void PutBigEndian(std::string* frame, std::size_t at, uint16_t value) {
  (*frame)[at] = static_cast<char>(value >> 8);
  (*frame)[at + 1] = static_cast<char>(value & 0xFF);
}

}  // namespace

BatteryUnit::~BatteryUnit() {
  Close();
}

bool BatteryUnit::Open(std::string* reason) {
  master_fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
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
  PutBigEndian(&frame, 4, reading.voltage);
  PutBigEndian(&frame, 6, static_cast<uint16_t>(reading.current));
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
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return written == bytes.size();
}

void BatteryUnit::Stream(const Reading& reading, std::chrono::milliseconds period) {
  std::lock_guard<std::mutex> lock(mutex_);
  reading_ = reading;
  if (!stream_.joinable()) {
    stopping_ = false;
    stream_ = std::thread(&BatteryUnit::StreamLoop, this, period);
  }
  changed_.notify_all();
}

void BatteryUnit::StreamLoop(std::chrono::milliseconds period) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    const std::string frame = Frame(*reading_);
    lock.unlock();
    Write(frame);
    lock.lock();
    changed_.wait_for(lock, period, [this] { return stopping_; });
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
