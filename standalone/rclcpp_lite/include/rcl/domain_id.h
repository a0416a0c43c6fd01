// The "use the default DDS domain" marker of ROS 2 Humble's rcl/domain_id.h.
#ifndef RCL__DOMAIN_ID_H_
#define RCL__DOMAIN_ID_H_

#include <stdint.h>

/// ROS_DOMAIN_ID if set, else domain 0.
#define RCL_DEFAULT_DOMAIN_ID SIZE_MAX

#endif  // RCL__DOMAIN_ID_H_
