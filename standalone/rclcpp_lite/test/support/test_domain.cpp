#include "test_domain.hpp"

#include <unistd.h>

#include <cstdlib>
#include <string>

size_t test_domain_id() {
  const char* domain = std::getenv("ROS_DOMAIN_ID");
  if (domain != nullptr && *domain != '\0') {
    return std::strtoul(domain, nullptr, 0);
  }
  // 100..199 keeps clear of the default domain 0 and within the RTPS port range.
  const size_t own = 100 + static_cast<size_t>(getpid()) % 100;
  setenv("ROS_DOMAIN_ID", std::to_string(own).c_str(), 1);
  return own;
}
