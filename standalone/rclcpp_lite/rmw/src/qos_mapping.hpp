// ROS QoS profiles to Fast DDS endpoint QoS, following rmw_fastrtps_cpp's mapping of history,
// depth, reliability, durability and lifespan (the policies a profile here sets).
#ifndef RCLCPP_LITE__DDS__QOS_MAPPING_HPP_
#define RCLCPP_LITE__DDS__QOS_MAPPING_HPP_

#include <fastdds/dds/publisher/qos/DataWriterQos.hpp>
#include <fastdds/dds/subscriber/qos/DataReaderQos.hpp>

#include "rmw/types.h"

namespace rclcpp_lite::middleware {

/// Both throw std::invalid_argument for a policy value that has no DDS counterpart.
eprosima::fastdds::dds::DataWriterQos make_writer_qos(const rmw_qos_profile_t& profile);
eprosima::fastdds::dds::DataReaderQos make_reader_qos(const rmw_qos_profile_t& profile);

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__QOS_MAPPING_HPP_
