// Without ROS_LOCALHOST_ONLY=0 every socket the middleware opens is bound to 127.0.0.1; with it,
// the other interfaces and multicast discovery are open, as with rclcpp.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "own_sockets.hpp"
#include "peer_process.hpp"
#include "probe_endpoints.hpp"
#include "test_support/test_domain.hpp"

namespace {

using namespace std::chrono_literals;

void expect_loopback_only(const char* localhost_only) {
  const std::size_t domain = test_support::KeepDdsOnThisMachine();  // it sets the variable too
  if (localhost_only == nullptr) {
    unsetenv("ROS_LOCALHOST_ONLY");
  } else {
    setenv("ROS_LOCALHOST_ONLY", localhost_only, 1);
  }
  const ProbeEndpoints endpoints(domain);

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

// The discovery multicast port of the domain: RTPS's 7400 + 250 per domain, in the kernel's hex.
std::string DiscoveryMulticastPort(size_t domain) {
  char port[8];
  std::snprintf(port, sizeof(port), "%04X", static_cast<unsigned>(7400 + 250 * domain));
  return port;
}

TEST(LoopbackOnly, ZeroOpensEveryInterfaceAndMulticastDiscovery) {
  const std::size_t domain = test_support::KeepDdsOnThisMachine();
  setenv("ROS_LOCALHOST_ONLY", "0", 1);
  PeerProcess probe(LOCALHOST_ONLY_PROBE, {std::to_string(domain)});
  const auto status = probe.wait_for_exit(60s);
  unsetenv("ROS_LOCALHOST_ONLY");
  ASSERT_TRUE(status) << probe.output();
  if (*status == 77) {  // no network namespace to keep the participant's traffic in
    GTEST_SKIP() << probe.output();
  }
  ASSERT_EQ(*status, 0) << probe.output();
  std::istringstream lines(probe.output());
  std::string line;
  std::size_t on_any_address = 0;
  std::size_t on_discovery_port = 0;
  while (std::getline(lines, line)) {
    if (line.rfind("socket udp ", 0) == 0) {
      on_any_address += line.find(" 00000000:") != std::string::npos ? 1 : 0;
      on_discovery_port +=
          line.find(":" + DiscoveryMulticastPort(domain)) != std::string::npos ? 1 : 0;
    }
  }
  EXPECT_GT(on_any_address, 0u) << probe.output();
  EXPECT_EQ(on_discovery_port, 1u) << probe.output();
}

}  // namespace
