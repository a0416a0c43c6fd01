#include "ros_tools/stand_in_options.hpp"

#include <vector>

namespace ros_tools {

bool StandInOptions::Take(ProgramArguments* args, const std::string& answer_option,
                          bool allow_count_only, std::string* error) {
  silent = args->TakeFlag({"--silent"});
  count_only = allow_count_only && args->TakeFlag({"--count-only"});
  std::vector<std::string> positional;
  if (!args->TakeInteger(answer_option, &answer, error) ||
      !args->TakeSeconds("--delay", &delay_seconds, error) ||
      !args->Positional(&positional, error)) {
    return false;
  }
  if (!positional.empty()) {
    *error = "unexpected argument '" + positional.front() + "'";
    return false;
  }
  return true;
}

}  // namespace ros_tools
