// Without ROS_LOCALHOST_ONLY=0 every socket the middleware opens is bound to 127.0.0.1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "rclcpp_lite/middleware.hpp"
#include "rmw/qos_profiles.h"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "test_support/test_domain.hpp"
#include "velmoria_protocol/msg/diagnostic_event.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

namespace {

using rosidl_typesupport_introspection_cpp::get_message_type_support_handle;
using Srv = velmoria_protocol::srv::BottomInteractSrv;

struct SocketEntry {
  std::string table;
  std::string local_address;  // hex "ADDR:PORT" as the kernel prints it
};

std::set<std::string> own_socket_inodes() {
  std::set<std::string> inodes;
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code gone;  // the iterator's own descriptor is closed by the time it is read
    const std::string link = std::filesystem::read_symlink(fd.path(), gone).string();
    if (link.rfind("socket:[", 0) == 0) {
      inodes.insert(link.substr(8, link.size() - 9));
    }
  }
  return inodes;
}

std::vector<SocketEntry> own_inet_sockets() {
  const std::set<std::string> inodes = own_socket_inodes();
  std::vector<SocketEntry> sockets;
  for (const char* table : {"udp", "udp6", "tcp", "tcp6"}) {
    std::ifstream file(std::string("/proc/net/") + table);
    std::string line;
    std::getline(file, line);  // column titles
    while (std::getline(file, line)) {
      // sl local_address rem_address st tx_queue:rx_queue tr:tm->when retrnsmt uid timeout inode
      std::istringstream fields(line);
      const std::vector<std::string> columns{std::istream_iterator<std::string>(fields), {}};
      if (columns.size() > 9 && inodes.count(columns[9]) > 0) {
        sockets.push_back({table, columns[1]});
      }
    }
  }
  return sockets;
}

void expect_loopback_only(const char* localhost_only) {
  if (localhost_only == nullptr) {
    unsetenv("ROS_LOCALHOST_ONLY");
  } else {
    setenv("ROS_LOCALHOST_ONLY", localhost_only, 1);
  }
  const auto participant = rclcpp_lite::Participant::create(test_support::KeepDdsOnThisMachine());
  const auto publisher = rclcpp_lite::PublisherCore::create(
      participant, rclcpp_lite::kNoNode, "/loopback_probe",
      get_message_type_support_handle<velmoria_protocol::msg::DiagnosticEvent>(),
      rmw_qos_profile_default);
  const auto client = rclcpp_lite::ClientCore::create(
      participant, rclcpp_lite::kNoNode, "/loopback_probe",
      get_message_type_support_handle<Srv::Request>(),
      get_message_type_support_handle<Srv::Response>(), rmw_qos_profile_services_default, nullptr);

  const std::vector<SocketEntry> sockets = own_inet_sockets();
  EXPECT_GE(sockets.size(), 2u) << "metatraffic and user traffic sockets at least";
  for (const SocketEntry& socket : sockets) {
    EXPECT_EQ(socket.table, "udp") << socket.local_address;
    EXPECT_EQ(socket.local_address.substr(0, 9), "0100007F:") << socket.table;
  }
}

TEST(LoopbackOnly, UnsetOrAnyValueButZeroBindsEverySocketTo127001) {
  for (const char* value : {static_cast<const char*>(nullptr), "1", "", "true"}) {
    SCOPED_TRACE(value == nullptr ? "unset" : value);
    expect_loopback_only(value);
  }
}

}  // namespace
