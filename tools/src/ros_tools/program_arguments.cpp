#include "ros_tools/program_arguments.hpp"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace ros_tools {

ProgramArguments::ProgramArguments(int argc, const char* const* argv) {
  bool in_ros_args = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--ros-args") {
      in_ros_args = true;
    } else if (in_ros_args && arg == "--") {
      in_ros_args = false;
    } else if (!in_ros_args) {
      args_.push_back(arg);
    }
  }
}

ProgramArguments::ProgramArguments(std::vector<std::string> args) : args_(std::move(args)) {}

bool ProgramArguments::TakeFlag(const std::vector<std::string>& names) {
  bool found = false;
  for (const auto& name : names) {
    for (auto it = args_.begin(); it != args_.end();) {
      if (*it == name) {
        it = args_.erase(it);
        found = true;
      } else {
        ++it;
      }
    }
  }
  return found;
}

std::optional<std::string> ProgramArguments::TakeValue(const std::string& name, bool* ok,
                                                       std::string* error) {
  *ok = true;
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (args_[i].rfind(name + "=", 0) == 0) {
      std::string value = args_[i].substr(name.size() + 1);
      args_.erase(args_.begin() + i);
      return value;
    }
    if (args_[i] == name) {
      if (i + 1 == args_.size()) {
        *ok = false;
        *error = name + " needs a value";
        return std::nullopt;
      }
      std::string value = args_[i + 1];
      args_.erase(args_.begin() + i, args_.begin() + i + 2);
      return value;
    }
  }
  return std::nullopt;
}

bool ProgramArguments::TakeSeconds(const std::string& name, double* value, std::string* error) {
  bool ok;
  const auto text = TakeValue(name, &ok, error);
  if (!text) return ok;
  errno = 0;
  char* end = nullptr;
  const double seconds = std::strtod(text->c_str(), &end);
  if (text->empty() || *end != '\0' || errno != 0 || !std::isfinite(seconds) || seconds < 0) {
    *error = name + ": '" + *text + "' is not a number of seconds";
    return false;
  }
  *value = seconds;
  return true;
}

bool ProgramArguments::TakeCount(const std::string& name, uint64_t* value, std::string* error) {
  bool ok;
  const auto text = TakeValue(name, &ok, error);
  if (!text) return ok;
  errno = 0;
  char* end = nullptr;
  const unsigned long long count = std::strtoull(text->c_str(), &end, 10);
  if (text->empty() || (*text)[0] == '-' || *end != '\0' || errno != 0 || count == 0) {
    *error = name + ": '" + *text + "' is not a positive whole number";
    return false;
  }
  *value = count;
  return true;
}

bool ProgramArguments::TakeInteger(const std::string& name, int32_t* value, std::string* error) {
  bool ok;
  const auto text = TakeValue(name, &ok, error);
  if (!text) return ok;
  errno = 0;
  char* end = nullptr;
  const long long number = std::strtoll(text->c_str(), &end, 10);
  if (text->empty() || *end != '\0' || errno != 0 || number < INT32_MIN || number > INT32_MAX) {
    *error = name + ": '" + *text + "' is not a whole number (int32)";
    return false;
  }
  *value = static_cast<int32_t>(number);
  return true;
}

bool ProgramArguments::Positional(std::vector<std::string>* positional, std::string* error) const {
  for (const auto& arg : args_) {
    // A lone "-" or a negative number is a value, not an option.
    if (arg.size() > 1 && arg[0] == '-' && !std::isdigit(static_cast<unsigned char>(arg[1]))) {
      *error = "unknown option '" + arg + "'";
      return false;
    }
  }
  *positional = args_;
  return true;
}

}  // namespace ros_tools
