#include "api_test_context.hpp"

void init_context(const rclcpp::Context::SharedPtr& context, const std::vector<std::string>& args) {
  std::vector<const char*> argv;
  for (const auto& arg : args) {
    argv.push_back(arg.c_str());
  }
  context->init(static_cast<int>(argv.size()), argv.data());
}
