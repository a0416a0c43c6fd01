#include "board_sim/command_kind.hpp"

#include <utility>

namespace board_sim {

namespace {

using cleaning_component::CleaningComponentRequest;

constexpr int32_t kPltGetVersion = cleaning_component::PltCmd_Get_Version;

const std::vector<std::pair<CommandKind, const char*>>& KindNames() {
  static const std::vector<std::pair<CommandKind, const char*>> names = {
      {CommandKind::kProcterMotors, "procter"}, {CommandKind::kSmfMotors, "smf"},
      {CommandKind::kHandPump, "hand-pump"},    {CommandKind::kSelfClean, "self-clean"},
      {CommandKind::kDirtyTank, "dirty-tank"},  {CommandKind::kStation, "station"},
      {CommandKind::kWheel, "wheel"},           {CommandKind::kVersion, "version"},
      {CommandKind::kPlatform, "platform"},     {CommandKind::kLight, "light"},
      {CommandKind::kOther, "other"},
  };
  return names;
}

bool HasProcterMotors(const CleaningComponentRequest& request) {
  return request.has_motor_ctrl() || request.water_supply().has_clean_pump() ||
         request.water_supply().has_dirty_pump();
}

bool HasSmfMotors(const CleaningComponentRequest& request) {
  return request.has_main_swp() || request.has_side_swp() || request.has_roll_mop() ||
         request.has_mop_pump() || request.has_squeegee_fan() || request.has_dust_tank_fan();
}

}  // namespace

CommandKind ClassifyRequest(const CleaningComponentRequest& request) {
  if (request.has_led_cmd()) return CommandKind::kLight;
  if (request.plt_cmd() == kPltGetVersion) return CommandKind::kVersion;
  if (request.plt_cmd() != 0) return CommandKind::kPlatform;
  if (request.has_wheel_cmd()) return CommandKind::kWheel;
  if (request.has_station()) return CommandKind::kStation;
  // Self-clean requests may also carry the mop pump, so they are told apart first.
  if (request.has_self_clean()) return CommandKind::kSelfClean;
  if (request.has_dirty_tank_switch() || request.has_tank_clean_pump()) {
    return CommandKind::kDirtyTank;
  }
  if (HasProcterMotors(request)) return CommandKind::kProcterMotors;
  if (request.water_supply().has_hand_pump()) return CommandKind::kHandPump;
  if (HasSmfMotors(request)) return CommandKind::kSmfMotors;
  return CommandKind::kOther;
}

const char* CommandKindName(CommandKind kind) {
  for (const auto& [known, name] : KindNames()) {
    if (known == kind) return name;
  }
  return "other";
}

std::optional<CommandKind> ParseCommandKind(const std::string& name) {
  for (const auto& [kind, known] : KindNames()) {
    if (name == known) return kind;
  }
  return std::nullopt;
}

const std::vector<CommandKind>& AllCommandKinds() {
  static const std::vector<CommandKind> kinds = [] {
    std::vector<CommandKind> all;
    for (const auto& entry : KindNames()) all.push_back(entry.first);
    return all;
  }();
  return kinds;
}

}  // namespace board_sim
