// Whether the middleware's process-wide state still stands. It comes up with the first
// participant and goes in static destruction, before any global that was made earlier (one that
// holds a node, say). An endpoint destroyed after it is reported as ROS 2 reports it and left to
// the end of the process, instead of being deleted against a middleware that is gone.
#ifndef RCLCPP_LITE__DDS__MIDDLEWARE_LIFETIME_HPP_
#define RCLCPP_LITE__DDS__MIDDLEWARE_LIFETIME_HPP_

namespace rclcpp_lite::middleware {

class MiddlewareLifetime {
public:
  // Called by each participant as it is made; the first call starts the lifetime.
  static void Begin();
  static bool Standing();
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__MIDDLEWARE_LIFETIME_HPP_
