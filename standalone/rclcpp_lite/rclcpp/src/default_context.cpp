#include "rclcpp/contexts/default_context.hpp"

namespace rclcpp {
namespace contexts {

DefaultContext::SharedPtr get_global_default_context() {
  static DefaultContext::SharedPtr default_context = DefaultContext::make_shared();
  return default_context;
}

}  // namespace contexts
}  // namespace rclcpp
