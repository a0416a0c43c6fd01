// rclcpp::init / ok / shutdown and the context: unknown arguments, shutdown semantics, signal
// handler options. Malformed arguments are covered by ros_arguments_test, SIGTERM by
// pub_sub_process_test.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "api_test_context.hpp"
#include "rclcpp/rclcpp.hpp"

TEST(Init, UnknownRosArgumentsAreRejectedByName) {
  auto context = std::make_shared<rclcpp::Context>();
  try {
    init_context(context, {"prog", "--ros-args", "--bogus", "-p", "a:=1", "stray"});
    FAIL() << "expected UnknownROSArgsError";
  } catch (const rclcpp::exceptions::UnknownROSArgsError& error) {
    EXPECT_STREQ(error.what(), "found unknown ROS arguments: '--bogus', 'stray'");
    EXPECT_EQ(error.unknown_ros_args, (std::vector<std::string>{"--bogus", "stray"}));
  }
  EXPECT_FALSE(context->is_valid());
}

TEST(Init, ShutdownRunsCallbacksOnceKeepsTheReasonAndAllowsInitAgain) {
  auto context = std::make_shared<rclcpp::Context>();
  init_context(context, {"prog"});
  EXPECT_THROW(init_context(context, {"prog"}), rclcpp::ContextAlreadyInitialized);
  int calls = 0;
  rclcpp::on_shutdown([&calls] { ++calls; }, context);
  EXPECT_TRUE(rclcpp::shutdown(context, "test is done"));
  EXPECT_FALSE(rclcpp::ok(context));
  EXPECT_FALSE(rclcpp::shutdown(context, "again"));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(context->shutdown_reason(), "test is done");
  init_context(context, {"prog"});
  EXPECT_TRUE(rclcpp::ok(context));
  EXPECT_TRUE(context->shutdown("second"));
}

TEST(Init, DomainIdComesFromInitOptionsOrRosDomainId) {
  auto context = std::make_shared<rclcpp::Context>();
  rclcpp::InitOptions options(rcutils_get_default_allocator());
  options.set_domain_id(42);
  const char* argv[] = {"prog"};
  context->init(1, argv, options);
  EXPECT_EQ(context->get_domain_id(), 42u);
  context->shutdown("done");

  const std::string test_domain = std::getenv("ROS_DOMAIN_ID");  // exported by main
  setenv("ROS_DOMAIN_ID", "0x11", 1);
  context->init(1, argv);
  EXPECT_EQ(context->get_domain_id(), 17u);
  context->shutdown("done");

  setenv("ROS_DOMAIN_ID", "eleven", 1);
  EXPECT_THROW(context->init(1, argv), rclcpp::exceptions::RCLError);
  setenv("ROS_DOMAIN_ID", test_domain.c_str(), 1);
}

TEST(Init, WithoutSignalHandlersASignalIsLeftToTheProcess) {
  const char* argv[] = {"prog"};
  rclcpp::init(1, argv, rclcpp::InitOptions(), rclcpp::SignalHandlerOptions::SigInt);
  EXPECT_EQ(rclcpp::get_current_signal_handler_options(), rclcpp::SignalHandlerOptions::SigInt);
  struct sigaction current;
  sigaction(SIGTERM, nullptr, &current);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
  rclcpp::shutdown();
  sigaction(SIGINT, nullptr, &current);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
}
