// rcl_interfaces/msg/ParameterType: the type constants of a parameter value (Humble).
#ifndef RCL_INTERFACES__MSG__PARAMETER_TYPE_HPP_
#define RCL_INTERFACES__MSG__PARAMETER_TYPE_HPP_

#include <cstdint>

namespace rcl_interfaces {
namespace msg {

struct ParameterType {
  static constexpr uint8_t PARAMETER_NOT_SET = 0u;
  static constexpr uint8_t PARAMETER_BOOL = 1u;
  static constexpr uint8_t PARAMETER_INTEGER = 2u;
  static constexpr uint8_t PARAMETER_DOUBLE = 3u;
  static constexpr uint8_t PARAMETER_STRING = 4u;
  static constexpr uint8_t PARAMETER_BYTE_ARRAY = 5u;
  static constexpr uint8_t PARAMETER_BOOL_ARRAY = 6u;
  static constexpr uint8_t PARAMETER_INTEGER_ARRAY = 7u;
  static constexpr uint8_t PARAMETER_DOUBLE_ARRAY = 8u;
  static constexpr uint8_t PARAMETER_STRING_ARRAY = 9u;
};

}  // namespace msg
}  // namespace rcl_interfaces

#endif  // RCL_INTERFACES__MSG__PARAMETER_TYPE_HPP_
