// rcl's allocator names, as ROS 2 Humble's rcl/allocator.h defines them on top of rcutils.
#ifndef RCL__ALLOCATOR_H_
#define RCL__ALLOCATOR_H_

#include "rcutils/allocator.h"

typedef rcutils_allocator_t rcl_allocator_t;

#define rcl_get_default_allocator rcutils_get_default_allocator

#endif  // RCL__ALLOCATOR_H_
