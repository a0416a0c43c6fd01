// rcl_interfaces/msg/FloatingPointRange: the inclusive range a double parameter must stay in.
#ifndef RCL_INTERFACES__MSG__FLOATING_POINT_RANGE_HPP_
#define RCL_INTERFACES__MSG__FLOATING_POINT_RANGE_HPP_

namespace rcl_interfaces {
namespace msg {

struct FloatingPointRange {
  double from_value = 0.0;
  double to_value = 0.0;
  /// 0.0: any value in the range; otherwise from_value + k * step (or to_value).
  double step = 0.0;
};

}  // namespace msg
}  // namespace rcl_interfaces

#endif  // RCL_INTERFACES__MSG__FLOATING_POINT_RANGE_HPP_
