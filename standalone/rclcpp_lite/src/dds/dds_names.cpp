#include "dds_names.hpp"

namespace rclcpp_lite::middleware {

namespace {

constexpr char kDdsTypeInfix[] = "::dds_::";

std::string prefixed(const char* prefix, const std::string& name, bool avoid_ros_conventions) {
  return avoid_ros_conventions ? name : prefix + name;
}

bool starts_with(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

/// The ROS name between a two-letter DDS prefix ("rq") and a suffix ("Request"); empty if the
/// DDS name has neither.
std::string between(const std::string& dds_name, const std::string& prefix,
                    const std::string& suffix) {
  const std::string start = prefix + "/";
  if (!starts_with(dds_name, start) || !ends_with(dds_name, suffix) ||
      dds_name.size() <= start.size() + suffix.size()) {
    return "";
  }
  return dds_name.substr(prefix.size(), dds_name.size() - prefix.size() - suffix.size());
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

std::string topic_from_dds(const std::string& dds_topic) {
  return between(dds_topic, "rt", "");
}

std::string service_from_dds(const std::string& dds_topic) {
  const std::string request = service_from_request_topic(dds_topic);
  return request.empty() ? between(dds_topic, "rr", "Reply") : request;
}

std::string service_from_request_topic(const std::string& dds_topic) {
  return between(dds_topic, "rq", "Request");
}

std::string type_from_dds(const std::string& dds_type) {
  const size_t infix = dds_type.find(kDdsTypeInfix);
  if (infix == std::string::npos || !ends_with(dds_type, "_")) {
    return dds_type;
  }
  std::string package_and_kind = dds_type.substr(0, infix);  // "pkg::msg"
  const size_t separator = package_and_kind.find("::");
  if (separator != std::string::npos) {
    package_and_kind.replace(separator, 2, "/");
  }
  const size_t name_start = infix + sizeof(kDdsTypeInfix) - 1;
  return package_and_kind + "/" + dds_type.substr(name_start, dds_type.size() - name_start - 1);
}

std::string service_type_from_dds(const std::string& dds_type) {
  if (dds_type.find("::srv" + std::string(kDdsTypeInfix)) == std::string::npos) {
    return "";
  }
  for (const char* suffix : {"_Request_", "_Response_"}) {
    if (ends_with(dds_type, suffix)) {
      // "pkg/srv/S_Request" without its "_Request"
      const std::string type = type_from_dds(dds_type);
      return type.substr(0, type.size() - (std::string(suffix).size() - 1));
    }
  }
  return "";
}

}  // namespace rclcpp_lite::middleware
