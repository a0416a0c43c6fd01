// A battery-unit frame worked out by hand, for the tests of its parser and of the sensor.
#ifndef BOTTOM_INTERACT_CENTER_TEST__BATTERY_FRAMES_HPP_
#define BOTTOM_INTERACT_CENTER_TEST__BATTERY_FRAMES_HPP_

#include <cstdint>
#include <vector>

namespace bottom_interact_center::test {

// Voltage 0x146E (5230 x 10 mV), current 0xFF9C (-100), cycles 0x1A0A (6666), ratio 0x55 (85).
// Byte sum of 2..30 = 0x0296, so the checksum is 0x10000 - 0x0296 = 0xFD6A.
inline std::vector<uint8_t> DischargingFrame() {
  std::vector<uint8_t> frame(34, 0);
  frame[0] = 0xDD;
  frame[1] = 0x03;
  frame[4] = 0x14;
  frame[5] = 0x6E;
  frame[6] = 0xFF;
  frame[7] = 0x9C;
  frame[12] = 0x1A;
  frame[13] = 0x0A;
  frame[23] = 0x55;
  frame[31] = 0xFD;
  frame[32] = 0x6A;
  frame[33] = 0x77;  // not examined
  return frame;
}

}  // namespace bottom_interact_center::test

#endif  // BOTTOM_INTERACT_CENTER_TEST__BATTERY_FRAMES_HPP_
