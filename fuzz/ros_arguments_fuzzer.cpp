// The command line's ROS arguments: the input split on NUL bytes is argv, program name first.
// The argument after a --params-file names a file; the fuzzer writes that argument's bytes to a
// file of its own and passes the file's path instead, so the parser opens no other file and the
// YAML behind the flag is fuzzed too. A flag without its value and a malformed rule or file are
// documented to throw RCLInvalidROSArgsError and RCLError.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.hpp"
#include "parameter_overrides_check.hpp"
#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/exceptions.hpp"
#include "rcutils/logging.h"
#include "temp_files.hpp"

namespace {

using rclcpp::detail::RosArguments;

std::vector<std::string> SplitOnNul(const uint8_t* data, std::size_t size) {
  const char* const end = reinterpret_cast<const char*>(data) + size;
  std::vector<std::string> args;
  const char* start = reinterpret_cast<const char*>(data);
  for (;;) {
    const char* const nul = std::find(start, end, '\0');
    args.emplace_back(start, nul);
    if (nul == end) {
      return args;
    }
    start = nul + 1;
  }
}

void ReplaceParameterFiles(std::vector<std::string>& args) {
  std::size_t files = 0;
  bool names_file = false;
  for (std::string& arg : args) {
    const bool is_flag = arg == "--params-file";
    if (names_file) {
      arg = fuzz::TempFiles::Write(files++, arg);
    }
    names_file = is_flag;
  }
}

bool IsNameCharacter(char c, const char* extra) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         std::string(extra).find(c) != std::string::npos;
}

bool IsName(const std::string& text, const char* extra) {
  if (text.empty()) {
    return false;
  }
  for (const char c : text) {
    if (!IsNameCharacter(c, extra)) {
      return false;
    }
  }
  return true;
}

// A remap rule that was accepted names a node (or none), what it remaps and to what.
void CheckRemapRules(const RosArguments& parsed) {
  for (const auto& rule : parsed.remap_rules()) {
    FUZZ_CHECK(rule.node_name.empty() || IsName(rule.node_name, ""));
    FUZZ_CHECK(!rule.from.empty() && !rule.to.empty());
    if (rule.from == "__node") {
      FUZZ_CHECK(IsName(rule.to, ""));
    } else if (rule.from == "__ns") {
      FUZZ_CHECK(rule.to[0] == '/');
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  // Each deprecated remap rule outside --ros-args logs a warning; thousands would flood stderr.
  FUZZ_CHECK(rcutils_logging_initialize() == RCUTILS_RET_OK);
  rcutils_logging_set_default_logger_level(RCUTILS_LOG_SEVERITY_ERROR);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::vector<std::string> args = SplitOnNul(data, size);
  ReplaceParameterFiles(args);
  try {
    const RosArguments parsed = RosArguments::parse(args, "fuzz: ");
    CheckRemapRules(parsed);
    fuzz::ResolveForNodes(parsed.parameter_overrides());
  } catch (const rclcpp::exceptions::RCLInvalidROSArgsError&) {
  } catch (const rclcpp::exceptions::RCLError&) {
  }
  return 0;
}
