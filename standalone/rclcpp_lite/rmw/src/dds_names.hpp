// rmw_fastrtps_cpp's mangling of ROS names into DDS topic names.
#ifndef RCLCPP_LITE__DDS__DDS_NAMES_HPP_
#define RCLCPP_LITE__DDS__DDS_NAMES_HPP_

#include <string>

namespace rclcpp_lite::middleware {

/// "/chatter" -> "rt/chatter"; unchanged when the profile avoids ROS conventions.
std::string message_topic(const std::string& ros_name, bool avoid_ros_conventions);
/// "/bottom_operate" -> "rq/bottom_operateRequest" (client writes, service reads).
std::string request_topic(const std::string& service_name, bool avoid_ros_conventions);
/// "/bottom_operate" -> "rr/bottom_operateReply" (service writes, client reads).
std::string reply_topic(const std::string& service_name, bool avoid_ros_conventions);

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__DDS_NAMES_HPP_
