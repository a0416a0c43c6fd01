#include "ros_tools/stand_in_options.hpp"

#include <iostream>
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

std::optional<int> StandInOptions::Parse(int argc, char** argv, const char* program,
                                         const char* usage, const std::string& answer_option,
                                         bool allow_count_only) {
  ProgramArguments args(argc, argv);
  if (args.TakeFlag({"-h", "--help"})) {
    std::cout << usage;
    return 0;
  }
  std::string error;
  if (!Take(&args, answer_option, allow_count_only, &error)) {
    std::cerr << program << ": " << error << "\n(see " << program << " --help)\n";
    return 2;
  }
  return std::nullopt;
}

}  // namespace ros_tools
