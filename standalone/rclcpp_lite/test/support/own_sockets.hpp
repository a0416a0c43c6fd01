// The internet sockets this process holds, as the kernel lists them in /proc/net.
#ifndef TEST_SUPPORT__OWN_SOCKETS_HPP_
#define TEST_SUPPORT__OWN_SOCKETS_HPP_

#include <string>
#include <vector>

struct SocketEntry {
  std::string table;          // udp, udp6, tcp or tcp6
  std::string local_address;  // hex "ADDR:PORT" as the kernel prints it
};

std::vector<SocketEntry> own_inet_sockets();

#endif  // TEST_SUPPORT__OWN_SOCKETS_HPP_
