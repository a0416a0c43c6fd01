// rcl_interfaces/msg/IntegerRange: the inclusive range an integer parameter must stay in.
#ifndef RCL_INTERFACES__MSG__INTEGER_RANGE_HPP_
#define RCL_INTERFACES__MSG__INTEGER_RANGE_HPP_

#include <cstdint>

namespace rcl_interfaces {
namespace msg {

struct IntegerRange {
  int64_t from_value = 0;
  int64_t to_value = 0;
  /// 0: any value in the range; otherwise from_value + k * step (or to_value).
  uint64_t step = 0;
};

}  // namespace msg
}  // namespace rcl_interfaces

#endif  // RCL_INTERFACES__MSG__INTEGER_RANGE_HPP_
