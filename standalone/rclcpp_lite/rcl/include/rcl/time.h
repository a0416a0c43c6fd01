// The clock types and time units of ROS 2 Humble's rcl/time.h that the rclcpp API exposes.
#ifndef RCL__TIME_H_
#define RCL__TIME_H_

#include <stdint.h>

#include "rcutils/time.h"

#define RCL_S_TO_NS RCUTILS_S_TO_NS

typedef rcutils_time_point_value_t rcl_time_point_value_t;

typedef enum rcl_clock_type_e {
  RCL_CLOCK_UNINITIALIZED = 0,
  RCL_ROS_TIME,
  RCL_SYSTEM_TIME,
  RCL_STEADY_TIME
} rcl_clock_type_t;

#endif  // RCL__TIME_H_
