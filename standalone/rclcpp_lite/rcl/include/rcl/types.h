// The rcl return codes that rclcpp's RCLErrorBase::ret carries (ROS 2 Humble's rcl/types.h).
#ifndef RCL__TYPES_H_
#define RCL__TYPES_H_

typedef int rcl_ret_t;

#define RCL_RET_OK 0
#define RCL_RET_ERROR 1
#define RCL_RET_TIMEOUT 2
#define RCL_RET_INVALID_ARGUMENT 11
#define RCL_RET_NOT_INIT 101
#define RCL_RET_INVALID_REMAP_RULE 1001
#define RCL_RET_INVALID_ROS_ARGS 1003
#define RCL_RET_INVALID_PARAM_RULE 1010
#define RCL_RET_INVALID_LOG_LEVEL_RULE 1020

#endif  // RCL__TYPES_H_
