#ifndef ROS_TOOLS_STAND_IN_OPTIONS_HPP_
#define ROS_TOOLS_STAND_IN_OPTIONS_HPP_

#include <cstdint>
#include <optional>
#include <string>

#include "ros_tools/program_arguments.hpp"

namespace ros_tools {

// The options every stand-in of the node's service peers takes:
//   --ANSWER N (the response's result or status)  --delay SECONDS  --silent  [--count-only]
struct StandInOptions {
  int32_t answer = 0;
  double delay_seconds = 0;
  bool silent = false;
  // Only a line "received N" once a second instead of a line per request.
  bool count_only = false;

  // Takes them out of args; false and *error for a bad value or anything left over.
  // allow_count_only: whether this stand-in knows --count-only.
  bool Take(ProgramArguments* args, const std::string& answer_option, bool allow_count_only,
            std::string* error);
  // Reads them from a stand-in's command line. The exit status when the program ends here
  // (0 after printing usage for --help, 2 after naming a bad option); nothing when it goes on.
  std::optional<int> Parse(int argc, char** argv, const char* program, const char* usage,
                           const std::string& answer_option, bool allow_count_only);
};

}  // namespace ros_tools

#endif  // ROS_TOOLS_STAND_IN_OPTIONS_HPP_
