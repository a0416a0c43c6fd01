// Without ROS_LOCALHOST_ONLY=0 every socket the middleware opens is bound to 127.0.0.1.
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "rclcpp_lite/middleware.hpp"
#include "rmw/qos_profiles.h"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "test_domain.hpp"
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
  DIR* fds = opendir("/proc/self/fd");
  for (dirent* entry = readdir(fds); entry != nullptr; entry = readdir(fds)) {
    char target[64] = {};
    const std::string path = std::string("/proc/self/fd/") + entry->d_name;
    const ssize_t length = readlink(path.c_str(), target, sizeof(target) - 1);
    const std::string link(target, length > 0 ? static_cast<size_t>(length) : 0);
    if (link.rfind("socket:[", 0) == 0) {
      inodes.insert(link.substr(8, link.size() - 9));
    }
  }
  closedir(fds);
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
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
      fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
          timeout >> inode;
      if (inodes.count(inode) > 0) {
        sockets.push_back({table, local});
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
  const auto participant = rclcpp_lite::Participant::create(test_domain_id());
  const auto publisher = rclcpp_lite::PublisherCore::create(
      participant, "/loopback_probe",
      get_message_type_support_handle<velmoria_protocol::msg::DiagnosticEvent>(),
      rmw_qos_profile_default);
  const auto client = rclcpp_lite::ClientCore::create(
      participant, "/loopback_probe", get_message_type_support_handle<Srv::Request>(),
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
