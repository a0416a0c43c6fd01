#include "test_domain.hpp"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace test_support {

void KeepDdsOnThisMachine() {
  setenv("ROS_LOCALHOST_ONLY", "1", 1);
  const char* domain = std::getenv("ROS_DOMAIN_ID");
  if (domain == nullptr || *domain == '\0') {
    setenv("ROS_DOMAIN_ID", std::to_string(120 + getpid() % 100).c_str(), 1);
  }
}

}  // namespace test_support
