// The QoS profiles of ROS 2 Humble's rmw/qos_profiles.h that rclcpp code names.
#ifndef RMW__QOS_PROFILES_H_
#define RMW__QOS_PROFILES_H_

#include "rmw/types.h"

/* Keep last `depth`, reliable, volatile; the rest unspecified or the system default. */
#define RMW_LITE_RELIABLE_VOLATILE_PROFILE_(depth)                                              \
  {                                                                                             \
    RMW_QOS_POLICY_HISTORY_KEEP_LAST, depth, RMW_QOS_POLICY_RELIABILITY_RELIABLE,               \
        RMW_QOS_POLICY_DURABILITY_VOLATILE, RMW_DURATION_UNSPECIFIED, RMW_DURATION_UNSPECIFIED, \
        RMW_QOS_POLICY_LIVELINESS_SYSTEM_DEFAULT, RMW_DURATION_UNSPECIFIED, false               \
  }

static const rmw_qos_profile_t rmw_qos_profile_default = RMW_LITE_RELIABLE_VOLATILE_PROFILE_(10);
static const rmw_qos_profile_t rmw_qos_profile_services_default =
    RMW_LITE_RELIABLE_VOLATILE_PROFILE_(10);
static const rmw_qos_profile_t rmw_qos_profile_parameters =
    RMW_LITE_RELIABLE_VOLATILE_PROFILE_(1000);
static const rmw_qos_profile_t rmw_qos_profile_parameter_events =
    RMW_LITE_RELIABLE_VOLATILE_PROFILE_(1000);

#endif  // RMW__QOS_PROFILES_H_
