#include "board_sim/scenario.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>
#include <vector>

namespace board_sim {

namespace {

// Scenarios without an argument, by their text form.
const std::vector<std::pair<Scenario::Kind, const char*>>& PlainNames() {
  static const std::vector<std::pair<Scenario::Kind, const char*>> names = {
      {Scenario::Kind::kAccept, "accept"},
      {Scenario::Kind::kSilent, "silent"},
      {Scenario::Kind::kOtherIdFirst, "other-id-first"},
      {Scenario::Kind::kGarbage, "garbage"},
      {Scenario::Kind::kSplit, "split"},
      {Scenario::Kind::kCoalesce, "coalesce"},
      {Scenario::Kind::kClose, "close"},
      {Scenario::Kind::kOversize, "oversize"},
      {Scenario::Kind::kBytewise, "bytewise"},
      {Scenario::Kind::kFlood, "flood"},
      {Scenario::Kind::kAnswerClose, "answer-close"},
      {Scenario::Kind::kCloseRefuse, "close-refuse"},
  };
  return names;
}

std::optional<int32_t> ParseInt32(const std::string& text) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace

Scenario Scenario::Of(Kind kind) {
  Scenario scenario;
  scenario.kind_ = kind;
  return scenario;
}

Scenario Scenario::Error(int32_t error_code) {
  Scenario scenario = Of(Kind::kError);
  scenario.error_code_ = error_code;
  return scenario;
}

Scenario Scenario::Version(std::string version_text) {
  Scenario scenario = Of(Kind::kVersion);
  scenario.version_text_ = std::move(version_text);
  return scenario;
}

std::optional<Scenario> Scenario::Parse(const std::string& text, std::string* error) {
  const auto colon = text.find(':');
  const std::string head = text.substr(0, colon);
  const std::string argument = colon == std::string::npos ? "" : text.substr(colon + 1);
  if (head == "error" && colon != std::string::npos) {
    if (const auto code = ParseInt32(argument)) return Error(*code);
    *error = "error code '" + argument + "' is not a 32-bit integer";
    return std::nullopt;
  }
  if (head == "version" && colon != std::string::npos) return Version(argument);
  if (colon == std::string::npos) {
    for (const auto& [kind, name] : PlainNames()) {
      if (text == name) return Of(kind);
    }
  }
  *error = "unknown scenario '" + text + "' (" + TextForms() + ")";
  return std::nullopt;
}

std::string Scenario::TextForms() {
  std::string forms = "error:N, version:TEXT";
  for (const auto& entry : PlainNames()) {
    forms += std::string(", ") + entry.second;
  }
  return forms;
}

std::string Scenario::ToString() const {
  if (kind_ == Kind::kError) return "error:" + std::to_string(error_code_);
  if (kind_ == Kind::kVersion) return "version:" + version_text_;
  for (const auto& [kind, name] : PlainNames()) {
    if (kind == kind_) return name;
  }
  return "accept";
}

}  // namespace board_sim
