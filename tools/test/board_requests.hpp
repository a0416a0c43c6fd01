#ifndef BOARD_SIM_TEST_BOARD_REQUESTS_HPP_
#define BOARD_SIM_TEST_BOARD_REQUESTS_HPP_

#include <cstdint>

#include "robot/cleaning_component.pb.h"

namespace board_sim_test {

// Requests shaped like the node's commands, one per command kind.
class BoardRequests {
public:
  using Request = cleaning_component::CleaningComponentRequest;

  static Request ProcterMotors(int32_t id);              // command 0
  static Request SmfMotors(int32_t id);                  // command 12, all motors stopped
  static Request HandPump(int32_t id);                   // command 13
  static Request SelfClean(int32_t id);                  // command 4 with self-clean on
  static Request DirtyTank(int32_t id);                  // command 6
  static Request Station(int32_t id);                    // command 3
  static Request Wheel(int32_t id, int wheel_cmd);       // commands 7 and 8
  static Request Version(int32_t id);                    // command 10
  static Request Platform(int32_t id, int32_t plt_cmd);  // command 5
  static Request FillLight(int32_t id, int mode);        // commands 9 and 11
};

}  // namespace board_sim_test

#endif  // BOARD_SIM_TEST_BOARD_REQUESTS_HPP_
