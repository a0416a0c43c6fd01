// rclcpp::NodeOptions as in rclcpp/node_options.hpp (Humble), with the one option this subset
// honours: the context. A node here always uses the arguments given to rclcpp::init, publishes
// its log lines on /rosout (unless --disable-rosout-logs), serves its parameters and publishes
// their events, and has only the parameters it declares.
#ifndef RCLCPP__NODE_OPTIONS_HPP_
#define RCLCPP__NODE_OPTIONS_HPP_

#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"

namespace rclcpp {

class NodeOptions {
public:
  NodeOptions() : context_(contexts::get_global_default_context()) {}

  rclcpp::Context::SharedPtr context() const { return context_; }
  NodeOptions& context(rclcpp::Context::SharedPtr context) {
    context_ = context;
    return *this;
  }

private:
  rclcpp::Context::SharedPtr context_;
};

}  // namespace rclcpp

#endif  // RCLCPP__NODE_OPTIONS_HPP_
