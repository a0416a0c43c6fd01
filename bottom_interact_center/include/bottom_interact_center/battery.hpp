// The battery unit on its serial tty: the latest valid reading, for the sensor-data path.
#ifndef BOTTOM_INTERACT_CENTER__BATTERY_HPP_
#define BOTTOM_INTERACT_CENTER__BATTERY_HPP_

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "bottom_interact_center/battery_record.hpp"
#include "bottom_interact_center/source_health.hpp"
#include "bottom_interact_center/stop_signal.hpp"

// Listens only: the unit sends its frames unprompted. The reader thread opens the port (9600 8N1,
// raw) and keeps the last frame that passed the checksum. A port that cannot be opened, is not a
// terminal, or is lost (a USB adapter unplugged) is tried again every 2 s; each outage is logged
// once, and its end too. The thread ends when the sensor is destroyed (each read waits at most a
// second).
class BatterySensor {
public:
  // Milliseconds since the Unix epoch; the system clock unless a test gives its own.
  using WallClock = std::function<uint64_t()>;

  // A reading is fresh for this long after its reception.
  static constexpr uint64_t kFreshForMs = 3000;

  // health gets the port's state, the readings and the frames that failed their checksum; it
  // must outlive the sensor.
  BatterySensor(const std::string& port_path, bottom_interact_center::SourceHealth& health,
                WallClock wall_clock = SystemMillis);
  ~BatterySensor();
  BatterySensor(const BatterySensor&) = delete;
  BatterySensor& operator=(const BatterySensor&) = delete;

  // A copy of the latest reading with valid set while it is fresh; a zero reading otherwise
  // (also for a stamp in the future).
  BatteryRecord GetLatest();

  static uint64_t SystemMillis();

private:
  void handler();
  int _open(const std::string& path);
  // Reads frames until the port is lost (true) or the sensor is being destroyed (false).
  bool ReadFrames();
  void ClosePort();
  // Logs, once per outage, a path that is no terminal: a FIFO or socket would block a read for
  // good, /dev/zero would never let it pause.
  void RefuseNonTerminal();
  // True for the first failure since the port was last open: an outage is logged once.
  bool FirstFailureOfOutage();

  bottom_interact_center::SourceHealth& health_;
  WallClock wall_clock_;
  std::string port_path_;
  int _port_fd = -1;
  bool outage_reported_ = false;  // reader thread only
  BatteryRecord latest_;
  std::mutex record_mutex_;
  bottom_interact_center::StopSignal stop_;
  // Last, so that it starts after every member above exists.
  std::thread reader_thread_;
};

#endif  // BOTTOM_INTERACT_CENTER__BATTERY_HPP_
