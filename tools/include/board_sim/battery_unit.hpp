#ifndef BOARD_SIM_BATTERY_UNIT_HPP_
#define BOARD_SIM_BATTERY_UNIT_HPP_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace board_sim {

// The robot's battery unit on a pseudo-terminal: the node opens path() as its battery tty, and
// the unit sends 34-byte frames unprompted.
class BatteryUnit {
public:
  struct Reading {
    uint8_t remain_ratio;  // %
    int16_t current_10mA;  // positive while charging
    uint16_t cycles;
    uint16_t voltage_10mV;
  };

  BatteryUnit() = default;
  ~BatteryUnit();
  BatteryUnit(const BatteryUnit&) = delete;
  BatteryUnit& operator=(const BatteryUnit&) = delete;

  // Opens the pseudo-terminal; false and *reason when it cannot be had.
  bool Open(std::string* reason);
  // The terminal side's path (for "battery_source_path").
  const std::string& path() const { return path_; }

  // Sends the reading at once and then every period until Stream changes it (and the period)
  // or StopStream.
  void Stream(const Reading& reading,
              std::chrono::milliseconds period = std::chrono::milliseconds(200));
  void StopStream();
  // Any bytes (frames, half frames, garbage); false when the unit is closed or the terminal's
  // buffer stays full (nobody reads it), as a serial line would lose them.
  bool Write(const std::string& bytes);
  // The device vanishing: both sides closed; the node's reads fail from then on.
  void Close();

  // The frame of a reading, its checksum right unless corrupt_checksum.
  static std::string Frame(const Reading& reading, bool corrupt_checksum = false);

private:
  void StreamLoop();
  bool WaitWritable();

  int master_fd_ = -1;
  // Held open so that the pseudo-terminal stays valid while the node has not opened it yet.
  int slave_fd_ = -1;
  std::string path_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Reading> reading_;
  std::chrono::milliseconds period_{0};
  uint64_t stream_calls_ = 0;
  bool stopping_ = false;
  std::thread stream_;
};

}  // namespace board_sim

#endif  // BOARD_SIM_BATTERY_UNIT_HPP_
