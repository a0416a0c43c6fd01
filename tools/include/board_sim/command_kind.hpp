#ifndef BOARD_SIM_COMMAND_KIND_HPP_
#define BOARD_SIM_COMMAND_KIND_HPP_

#include <optional>
#include <string>
#include <vector>

#include "robot/cleaning_component.pb.h"

namespace board_sim {

// What a board request asks for, told apart by the fields it carries. Each kind can be given its
// own answer scenario.
enum class CommandKind {
  kProcterMotors,  // motor_ctrl, water_supply clean/dirty pumps
  kSmfMotors,      // main/side sweep, roll mop, mop pump, squeegee fan, dust-tank fan
  kHandPump,       // water_supply.hand_pump only
  kSelfClean,      // self_clean (may carry pump settings too)
  kDirtyTank,      // dirty_tank_switch, tank_clean_pump
  kStation,        // station query
  kWheel,          // wheel_cmd, bump unlock included
  kVersion,        // plt_cmd == 1
  kPlatform,       // any other plt_cmd
  kLight,          // led_cmd
  kOther,          // none of the above
};

CommandKind ClassifyRequest(const cleaning_component::CleaningComponentRequest& request);

// Names used on the simulator's command line: procter, smf, hand-pump, self-clean, dirty-tank,
// station, wheel, version, platform, light, other.
const char* CommandKindName(CommandKind kind);
std::optional<CommandKind> ParseCommandKind(const std::string& name);
const std::vector<CommandKind>& AllCommandKinds();

}  // namespace board_sim

#endif  // BOARD_SIM_COMMAND_KIND_HPP_
