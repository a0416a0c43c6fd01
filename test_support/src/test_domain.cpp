#include "test_support/test_domain.hpp"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace test_support {

std::size_t KeepDdsOnThisMachine() {
  setenv("ROS_LOCALHOST_ONLY", "1", 1);
  const char* domain = std::getenv("ROS_DOMAIN_ID");
  if (domain != nullptr && *domain != '\0') {
    return std::strtoul(domain, nullptr, 0);
  }
  // Clear of the default domain 0 and of the range scripts/test draws from, within RTPS's ports.
  const std::size_t own = 120 + static_cast<std::size_t>(getpid()) % 100;
  setenv("ROS_DOMAIN_ID", std::to_string(own).c_str(), 1);
  return own;
}

}  // namespace test_support
