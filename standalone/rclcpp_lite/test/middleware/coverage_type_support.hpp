// Message types described by hand-written introspection data, for the encodings the project's
// interfaces do not use: bool[] (std::vector<bool>), fixed and bounded arrays, float64
// alignment, string and message sequences, bounded strings, and a struct with no members.
#ifndef MIDDLEWARE_TEST__COVERAGE_TYPE_SUPPORT_HPP_
#define MIDDLEWARE_TEST__COVERAGE_TYPE_SUPPORT_HPP_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "rosidl_runtime_c/message_type_support_struct.h"

namespace coverage {

struct Inner {
  int16_t value = 0;
};

struct Coverage {
  bool flag = false;
  double ratio = 0.0;
  std::vector<bool> bits;
  std::array<uint16_t, 3> triple{};
  std::vector<int32_t> bounded;  // int32[<=2]
  std::vector<std::string> words;
  std::vector<Inner> inners;
  std::string short_text;  // string<=4
};

struct Empty {};

/// Type "coverage::msg::Coverage" and friends, with C++ introspection type support.
const rosidl_message_type_support_t* coverage_type_support();
const rosidl_message_type_support_t* empty_type_support();

}  // namespace coverage

#endif  // MIDDLEWARE_TEST__COVERAGE_TYPE_SUPPORT_HPP_
