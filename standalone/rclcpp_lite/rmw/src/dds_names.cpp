#include "dds_names.hpp"

namespace rclcpp_lite::middleware {

namespace {

std::string prefixed(const char* prefix, const std::string& name, bool avoid_ros_conventions) {
  return avoid_ros_conventions ? name : prefix + name;
}

}  // namespace

std::string message_topic(const std::string& ros_name, bool avoid_ros_conventions) {
  return prefixed("rt", ros_name, avoid_ros_conventions);
}

std::string request_topic(const std::string& service_name, bool avoid_ros_conventions) {
  return prefixed("rq", service_name, avoid_ros_conventions) + "Request";
}

std::string reply_topic(const std::string& service_name, bool avoid_ros_conventions) {
  return prefixed("rr", service_name, avoid_ros_conventions) + "Reply";
}

}  // namespace rclcpp_lite::middleware
