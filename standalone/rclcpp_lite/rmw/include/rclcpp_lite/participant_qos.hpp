// Domain participant settings: what rmw_fastrtps_cpp announces (enclave "/"), plus the
// loopback-only transport and discovery this project runs with by default. Public for programs
// that drive Fast DDS directly (the raw DDS benchmark); <rclcpp/rclcpp.hpp> never includes it.
#ifndef RCLCPP_LITE__PARTICIPANT_QOS_HPP_
#define RCLCPP_LITE__PARTICIPANT_QOS_HPP_

#include <fastdds/dds/domain/qos/DomainParticipantQos.hpp>

namespace rclcpp_lite::middleware {

/// False only when ROS_LOCALHOST_ONLY is exactly "0".
bool localhost_only_from_environment();

/// With localhost_only every socket binds to 127.0.0.1 and discovery is unicast on loopback;
/// otherwise Fast DDS's builtin transports and multicast discovery are used.
eprosima::fastdds::dds::DomainParticipantQos make_participant_qos(bool localhost_only);

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__PARTICIPANT_QOS_HPP_
