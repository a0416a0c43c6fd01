#ifndef BOARD_SIM_RECORDED_REQUEST_HPP_
#define BOARD_SIM_RECORDED_REQUEST_HPP_

#include "board_sim/command_kind.hpp"
#include "board_sim/link.hpp"
#include "board_sim/scenario.hpp"
#include "robot/cleaning_component.pb.h"

namespace board_sim {

// One request as the simulated board received it, and the scenario it was answered with.
struct RecordedRequest {
  Link link = Link::kProcter;
  CommandKind kind = CommandKind::kOther;
  cleaning_component::CleaningComponentRequest request;
  Scenario answered_with;
};

}  // namespace board_sim

#endif  // BOARD_SIM_RECORDED_REQUEST_HPP_
