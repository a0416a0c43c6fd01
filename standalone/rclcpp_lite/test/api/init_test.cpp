// rclcpp::init / ok / shutdown and the context: unknown arguments, shutdown semantics, the
// domain, signal handler options. Malformed arguments are covered by ros_arguments_test, SIGTERM by
// pub_sub_process_test.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "api_test_context.hpp"
#include "rclcpp/rclcpp.hpp"

TEST(Init, ShutdownHappensOnceAndAllowsInitAgain) {
  auto context = std::make_shared<rclcpp::Context>();
  init_context(context, {"prog"});
  EXPECT_THROW(init_context(context, {"prog"}), rclcpp::ContextAlreadyInitialized);
  EXPECT_TRUE(rclcpp::shutdown(context, "test is done"));
  EXPECT_FALSE(rclcpp::ok(context));
  EXPECT_FALSE(rclcpp::shutdown(context, "again"));
  init_context(context, {"prog"});
  EXPECT_TRUE(rclcpp::ok(context));
  EXPECT_TRUE(context->shutdown("second"));
}

TEST(Init, AMalformedRosDomainIdIsRefused) {
  auto context = std::make_shared<rclcpp::Context>();
  const char* argv[] = {"prog"};
  const std::string test_domain = std::getenv("ROS_DOMAIN_ID");  // exported by main
  setenv("ROS_DOMAIN_ID", "eleven", 1);
  EXPECT_THROW(context->init(1, argv), rclcpp::exceptions::RCLError);
  setenv("ROS_DOMAIN_ID", test_domain.c_str(), 1);
  EXPECT_FALSE(context->is_valid());
}

TEST(Init, WithoutSignalHandlersASignalIsLeftToTheProcess) {
  const char* argv[] = {"prog"};
  rclcpp::init(1, argv, rclcpp::InitOptions(), rclcpp::SignalHandlerOptions::None);
  struct sigaction current;
  sigaction(SIGTERM, nullptr, &current);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
  sigaction(SIGINT, nullptr, &current);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
  rclcpp::shutdown();
}
