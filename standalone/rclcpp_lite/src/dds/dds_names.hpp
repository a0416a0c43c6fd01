// rmw_fastrtps_cpp's mangling of ROS names into DDS topic names, and its demangling of discovered
// DDS topic and type names back into ROS ones for the graph queries.
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

/// "rt/chatter" -> "/chatter"; empty for a DDS topic that is not a ROS topic.
std::string topic_from_dds(const std::string& dds_topic);
/// "rq/sRequest" and "rr/sReply" -> "/s"; empty for anything else.
std::string service_from_dds(const std::string& dds_topic);
/// "rq/sRequest" -> "/s"; empty for anything else, replies included.
std::string service_from_request_topic(const std::string& dds_topic);
/// "pkg::msg::dds_::T_" -> "pkg/msg/T"; a type name of another form is returned as it is.
std::string type_from_dds(const std::string& dds_type);
/// "pkg::srv::dds_::S_Request_" and "..._Response_" -> "pkg/srv/S"; empty for anything else.
std::string service_type_from_dds(const std::string& dds_type);

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__DDS_NAMES_HPP_
