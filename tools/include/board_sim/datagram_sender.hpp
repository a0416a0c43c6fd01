#ifndef BOARD_SIM_DATAGRAM_SENDER_HPP_
#define BOARD_SIM_DATAGRAM_SENDER_HPP_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include <google/protobuf/message_lite.h>

#include "robot/motor_data.pb.h"
#include "robot/sensor_data.pb.h"

namespace board_sim {

// The board's sensor and motor datagrams to the node's ports, one at a time or streamed at a
// rate on a thread of its own. Sends to loopback unless told otherwise.
class DatagramSender {
public:
  explicit DatagramSender(std::string address = "127.0.0.1", uint16_t sensor_port = 10888,
                          uint16_t motor_port = 60087);
  ~DatagramSender();
  DatagramSender(const DatagramSender&) = delete;
  DatagramSender& operator=(const DatagramSender&) = delete;

  bool SendSensor(const bottom_internal::SensorDataProto& message);
  bool SendMotor(const motor_data::MotorDataRep& message);
  bool SendRaw(uint16_t port, const std::string& bytes);

  // Sends the framed bytes to port rate_hz times a second until count were sent or StopStream;
  // a stream already running is stopped first. Nothing is sent unless rate_hz is above 0.
  void Stream(uint16_t port, const std::string& bytes, double rate_hz, uint64_t count);
  // The same for as long as duration lasts (rate_hz times its seconds, at least one).
  void StreamFor(uint16_t port, const std::string& bytes, double rate_hz,
                 std::chrono::milliseconds duration);
  void StopStream();
  // Datagrams all streams have sent so far.
  uint64_t streamed() const { return streamed_; }

  // 2-byte little-endian length, then the message.
  static std::string Frame(const google::protobuf::MessageLite& message);

  uint16_t sensor_port() const { return sensor_port_; }
  uint16_t motor_port() const { return motor_port_; }

private:
  std::string address_;
  uint16_t sensor_port_;
  uint16_t motor_port_;
  int fd_;
  std::atomic<bool> stop_stream_{false};
  std::atomic<uint64_t> streamed_{0};
  std::thread stream_;
};

}  // namespace board_sim

#endif  // BOARD_SIM_DATAGRAM_SENDER_HPP_
