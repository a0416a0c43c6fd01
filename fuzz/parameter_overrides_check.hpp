// Uses the parameter overrides a parse produced the way a node does: resolved for a node's fully
// qualified name, each value printed.
#ifndef FUZZ__PARAMETER_OVERRIDES_CHECK_HPP_
#define FUZZ__PARAMETER_OVERRIDES_CHECK_HPP_

#include <string>

#include "fuzz_check.hpp"
#include "rclcpp/detail/parameter_overrides.hpp"
#include "rclcpp/parameter_value.hpp"

namespace fuzz {

inline void ResolveForNodes(const rclcpp::detail::ParameterOverrides& overrides) {
  for (const char* node : {"/talker", "/ns/talker", "/a/b/c/talker"}) {
    for (const auto& [name, value] : overrides.resolve(node)) {
      FUZZ_CHECK(value.get_type() != rclcpp::PARAMETER_NOT_SET);
      (void)rclcpp::to_string(value);
      (void)name;
    }
  }
}

}  // namespace fuzz

#endif  // FUZZ__PARAMETER_OVERRIDES_CHECK_HPP_
