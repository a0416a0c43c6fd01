// The board's UDP datagrams: the sensor-data port reads a SensorDataProto, the motor-data port a
// MotorDataRep, each as one frame that may be followed by ignored bytes. Every input is tried as
// either.
#include <cstddef>
#include <cstdint>

#include "board_round_trip.hpp"
#include "bottom_interact_center/board_frame.hpp"
#include "fuzz_check.hpp"
#include "robot/motor_data.pb.h"
#include "robot/sensor_data.pb.h"

namespace {

using bottom_interact_center::BoardFrame;

template <typename Message>
void ReadDatagram(const uint8_t* data, std::size_t size) {
  Message message;
  if (!BoardFrame::ParseDatagram(&message, data, size)) {
    return;
  }
  // Accepted: the header and the declared body are there, and the bytes behind them do not count.
  FUZZ_CHECK(size >= BoardFrame::kHeaderSize);
  const std::size_t frame_size = BoardFrame::kHeaderSize + BoardFrame::ReadLength(data);
  FUZZ_CHECK(frame_size <= size);
  if (frame_size < size) {
    Message exact;
    FUZZ_CHECK(BoardFrame::ParseDatagram(&exact, data, frame_size));
    FUZZ_CHECK(exact.SerializeAsString() == message.SerializeAsString());
  }
  fuzz::CheckFrameRoundTrip(message);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  fuzz::SilenceProtobufLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  ReadDatagram<bottom_internal::SensorDataProto>(data, size);
  ReadDatagram<motor_data::MotorDataRep>(data, size);
  return 0;
}
