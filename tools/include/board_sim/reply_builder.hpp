#ifndef BOARD_SIM_REPLY_BUILDER_HPP_
#define BOARD_SIM_REPLY_BUILDER_HPP_

#include "board_sim/command_kind.hpp"
#include "board_sim/reply_plan.hpp"
#include "board_sim/scenario.hpp"
#include "robot/cleaning_component.pb.h"

namespace board_sim {

// Turns a scenario into the framed bytes the board writes back for one request.
class ReplyBuilder {
public:
  static ReplyPlan Build(const Scenario& scenario,
                         const cleaning_component::CleaningComponentRequest& request,
                         CommandKind kind);

private:
  static cleaning_component::CleaningComponentResponse Answer(
      const cleaning_component::CleaningComponentRequest& request, CommandKind kind);
  static std::string Frame(const cleaning_component::CleaningComponentResponse& response);
  static std::string OtherIdFrame(const cleaning_component::CleaningComponentRequest& request);
  static std::vector<std::string> SplitInThree(const std::string& frame);
};

}  // namespace board_sim

#endif  // BOARD_SIM_REPLY_BUILDER_HPP_
