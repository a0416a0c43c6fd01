#include "api_test_context.hpp"

#include <unistd.h>

std::string unique_name(const std::string& stem) {
  return stem + "_" + std::to_string(getpid());
}

void init_context(const rclcpp::Context::SharedPtr& context, const std::vector<std::string>& args) {
  std::vector<const char*> argv;
  for (const auto& arg : args) {
    argv.push_back(arg.c_str());
  }
  context->init(static_cast<int>(argv.size()), argv.data());
}

void ContextTest::TearDown() {
  if (context_) {
    context_->shutdown("test done");
  }
  for (auto& spinner : spinners_) {
    spinner.join();
  }
}

void ContextTest::init(const std::vector<std::string>& args) {
  if (context_) {
    context_->shutdown("initialised again");
  }
  context_ = std::make_shared<rclcpp::Context>();
  init_context(context_, args);
}

rclcpp::ExecutorOptions ContextTest::executor_options() const {
  rclcpp::ExecutorOptions options;
  options.context = context_;
  return options;
}

void ContextTest::spin_in_background(const std::shared_ptr<rclcpp::Executor>& executor) {
  spinners_.emplace_back([executor] { executor->spin(); });
}

rclcpp::Node::SharedPtr ContextTest::spun_node(const std::string& name) {
  auto executor = std::make_shared<rclcpp::executors::SingleThreadedExecutor>(executor_options());
  auto node = std::make_shared<rclcpp::Node>(name, options());
  executor->add_node(node);
  spin_in_background(executor);
  return node;
}
