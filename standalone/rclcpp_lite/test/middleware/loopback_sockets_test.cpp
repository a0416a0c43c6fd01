// Without ROS_LOCALHOST_ONLY=0 every socket the middleware opens is bound to 127.0.0.1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "own_sockets.hpp"
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

}  // namespace
