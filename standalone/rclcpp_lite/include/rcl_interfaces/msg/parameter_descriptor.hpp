// rcl_interfaces/msg/ParameterDescriptor with the fields of ROS 2 Humble.
#ifndef RCL_INTERFACES__MSG__PARAMETER_DESCRIPTOR_HPP_
#define RCL_INTERFACES__MSG__PARAMETER_DESCRIPTOR_HPP_

#include <cstdint>
#include <memory>
#include <string>

#include "rcl_interfaces/msg/floating_point_range.hpp"
#include "rcl_interfaces/msg/integer_range.hpp"
#include "rcl_interfaces/msg/parameter_type.hpp"
#include "rosidl_runtime_cpp/bounded_vector.hpp"

namespace rcl_interfaces {
namespace msg {

struct ParameterDescriptor {
  using SharedPtr = std::shared_ptr<ParameterDescriptor>;
  using ConstSharedPtr = std::shared_ptr<const ParameterDescriptor>;

  std::string name;
  uint8_t type = ParameterType::PARAMETER_NOT_SET;
  std::string description;
  std::string additional_constraints;
  bool read_only = false;
  bool dynamic_typing = false;
  rosidl_runtime_cpp::BoundedVector<FloatingPointRange, 1> floating_point_range;
  rosidl_runtime_cpp::BoundedVector<IntegerRange, 1> integer_range;
};

}  // namespace msg
}  // namespace rcl_interfaces

#endif  // RCL_INTERFACES__MSG__PARAMETER_DESCRIPTOR_HPP_
