// One reading of the battery unit.
#ifndef BOTTOM_INTERACT_CENTER__BATTERY_RECORD_HPP_
#define BOTTOM_INTERACT_CENTER__BATTERY_RECORD_HPP_

#include <cstdint>

// The scaled values the sensor-data path delivers. The frame's current and cycle count are
// multiplied by 10 without wrapping, hence the 32-bit fields.
struct BatteryRecord {
  uint32_t voltage = 0;        // pack voltage, mV
  int32_t current = 0;         // frame value x 10; positive while charging
  uint32_t charge_circle = 0;  // frame cycle count x 10
  uint8_t remain_ratio = 0;    // %
  uint64_t stamp_ms = 0;       // system clock at reception, ms since the Unix epoch
  bool charging = false;       // current > 0
  bool valid = false;          // set only in copies handed out while the reading is fresh
};

#endif  // BOTTOM_INTERACT_CENTER__BATTERY_RECORD_HPP_
