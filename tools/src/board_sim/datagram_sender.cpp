#include "board_sim/datagram_sender.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "bottom_interact_center/board_frame.hpp"

namespace board_sim {

DatagramSender::DatagramSender(std::string address, uint16_t sensor_port, uint16_t motor_port)
    : address_(std::move(address)),
      sensor_port_(sensor_port),
      motor_port_(motor_port),
      fd_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}

DatagramSender::~DatagramSender() {
  StopStream();
  if (fd_ >= 0) {
    close(fd_);
  }
}

std::string DatagramSender::Frame(const google::protobuf::MessageLite& message) {
  std::vector<uint8_t> frame;
  bottom_interact_center::BoardFrame::Encode(message, &frame);
  return std::string(frame.begin(), frame.end());
}

bool DatagramSender::SendSensor(const bottom_internal::SensorDataProto& message) {
  return SendRaw(sensor_port_, Frame(message));
}

bool DatagramSender::SendMotor(const motor_data::MotorDataRep& message) {
  return SendRaw(motor_port_, Frame(message));
}

bool DatagramSender::SendRaw(uint16_t port, const std::string& bytes) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (fd_ < 0 || inet_pton(AF_INET, address_.c_str(), &address.sin_addr) != 1) {
    return false;
  }
  const ssize_t n = sendto(fd_, bytes.data(), bytes.size(), 0,
                           reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  return n == static_cast<ssize_t>(bytes.size());
}

void DatagramSender::Stream(uint16_t port, const std::string& bytes, double rate_hz,
                            uint64_t count) {
  StopStream();
  if (!(rate_hz > 0)) return;
  stop_stream_ = false;
  const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(1.0 / rate_hz));
  stream_ = std::thread([this, port, bytes, period, count] {
    // Paced by absolute times, so the rate does not drift with the time a send takes.
    auto next = std::chrono::steady_clock::now();
    for (uint64_t i = 0; i < count && !stop_stream_; ++i) {
      SendRaw(port, bytes);
      ++streamed_;
      next += period;
      std::this_thread::sleep_until(next);
    }
  });
}

void DatagramSender::StreamFor(uint16_t port, const std::string& bytes, double rate_hz,
                               std::chrono::milliseconds duration) {
  const double count = std::ceil(rate_hz * std::chrono::duration<double>(duration).count());
  Stream(port, bytes, rate_hz, static_cast<uint64_t>(std::max(count, 1.0)));
}

void DatagramSender::StopStream() {
  stop_stream_ = true;
  if (stream_.joinable()) {
    stream_.join();
  }
}

}  // namespace board_sim
