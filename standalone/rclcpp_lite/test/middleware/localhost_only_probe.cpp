// Creates the probe endpoints in the domain given as its argument, as ROS_LOCALHOST_ONLY says,
// prints "socket <table> <local address>" for each internet socket they opened, and exits. It runs
// in a network namespace of its own holding only loopback, so that a participant open to every
// interface sends nothing off this machine; where it cannot have one it exits with kNoNamespace,
// whatever the environment says.
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "own_sockets.hpp"
#include "probe_endpoints.hpp"

namespace {

constexpr int kNoNamespace = 77;  // the test skips on it

// A namespace of our own (as root, or as the owner of a new user namespace), its loopback up.
bool EnterOwnNetwork() {
  if (unshare(CLONE_NEWNET) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
    return false;
  }
  const int control = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  ifreq loopback{};
  std::strncpy(loopback.ifr_name, "lo", IFNAMSIZ - 1);
  const bool up = control >= 0 && ioctl(control, SIOCGIFFLAGS, &loopback) == 0 &&
                  (loopback.ifr_flags |= IFF_UP, ioctl(control, SIOCSIFFLAGS, &loopback) == 0);
  close(control);
  return up;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: localhost_only_probe DOMAIN_ID" << std::endl;
    return EXIT_FAILURE;
  }
  if (!EnterOwnNetwork()) {
    std::cout << "no network namespace of its own to open the other interfaces in" << std::endl;
    return kNoNamespace;
  }
  const ProbeEndpoints endpoints(std::strtoul(argv[1], nullptr, 10));
  for (const SocketEntry& socket : own_inet_sockets()) {
    std::cout << "socket " << socket.table << " " << socket.local_address << std::endl;
  }
  return EXIT_SUCCESS;
}
