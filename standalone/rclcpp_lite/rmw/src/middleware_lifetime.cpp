#include "middleware_lifetime.hpp"

#include <atomic>

namespace rclcpp_lite::middleware {
namespace {

// Constant-initialised and trivially destroyed: readable until the process ends.
std::atomic<bool> g_standing{false};

struct Lifetime {
  Lifetime() { g_standing = true; }
  ~Lifetime() { g_standing = false; }
};

}  // namespace

void MiddlewareLifetime::Begin() {
  static Lifetime lifetime;
}

bool MiddlewareLifetime::Standing() {
  return g_standing.load();
}

}  // namespace rclcpp_lite::middleware
