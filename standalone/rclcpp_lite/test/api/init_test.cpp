// rclcpp::init / ok / shutdown and the context: argument errors, shutdown semantics, signals.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/rclcpp.hpp"

namespace {

std::vector<const char*> c_args(const std::vector<std::string>& args) {
  std::vector<const char*> pointers;
  for (const auto& arg : args) {
    pointers.push_back(arg.c_str());
  }
  return pointers;
}

void init_context(const rclcpp::Context::SharedPtr& context, const std::vector<std::string>& args) {
  const auto argv = c_args(args);
  context->init(static_cast<int>(argv.size()), argv.data());
}

/// Restores an environment variable when the test is done with it.
class EnvironmentRestorer {
public:
  explicit EnvironmentRestorer(const char* name) : name_(name) {
    const char* value = std::getenv(name);
    had_value_ = value != nullptr;
    value_ = had_value_ ? value : "";
  }
  ~EnvironmentRestorer() {
    if (had_value_) {
      setenv(name_, value_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

private:
  const char* name_;
  bool had_value_;
  std::string value_;
};

}  // namespace

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

TEST(Init, MalformedRosArgumentsAreRclErrors) {
  auto context = std::make_shared<rclcpp::Context>();
  EXPECT_THROW(init_context(context, {"prog", "--ros-args", "--params-file"}),
               rclcpp::exceptions::RCLInvalidROSArgsError);
  EXPECT_THROW(init_context(context, {"prog", "--ros-args", "-p", "x"}),
               rclcpp::exceptions::RCLError);
  EXPECT_FALSE(context->is_valid());
}

TEST(Init, ProgramArgumentsOutsideRosArgsAreAccepted) {
  auto context = std::make_shared<rclcpp::Context>();
  init_context(context, {"prog", "--my-flag", "value", "--ros-args", "-p", "a:=1", "--", "more"});
  EXPECT_TRUE(rclcpp::ok(context));
  EXPECT_TRUE(rclcpp::shutdown(context));
}

TEST(Init, InitialisingTwiceThrowsAndShutdownAllowsItAgain) {
  auto context = std::make_shared<rclcpp::Context>();
  init_context(context, {"prog"});
  EXPECT_THROW(init_context(context, {"prog"}), rclcpp::ContextAlreadyInitialized);
  EXPECT_TRUE(context->shutdown("first"));
  init_context(context, {"prog"});
  EXPECT_TRUE(context->is_valid());
  EXPECT_TRUE(context->shutdown("second"));
}

TEST(Init, AContextNotOwnedBySharedPtrIsRefusedAndStaysInvalid) {
  rclcpp::Context context;
  const char* argv[] = {"prog"};
  try {
    context.init(1, argv);
    FAIL() << "expected std::runtime_error";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "a context must be owned by a std::shared_ptr to be initialized");
  }
  EXPECT_FALSE(context.is_valid());
}

TEST(Init, ShutdownRunsCallbacksOnceAndKeepsTheReason) {
  auto context = std::make_shared<rclcpp::Context>();
  init_context(context, {"prog"});
  int calls = 0;
  rclcpp::on_shutdown([&calls] { ++calls; }, context);
  EXPECT_TRUE(rclcpp::shutdown(context, "test is done"));
  EXPECT_FALSE(rclcpp::ok(context));
  EXPECT_FALSE(rclcpp::shutdown(context, "again"));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(context->shutdown_reason(), "test is done");
}

TEST(Init, DomainIdComesFromInitOptionsOrRosDomainId) {
  auto context = std::make_shared<rclcpp::Context>();
  rclcpp::InitOptions options(rcutils_get_default_allocator());
  options.set_domain_id(42);
  const char* argv[] = {"prog"};
  context->init(1, argv, options);
  EXPECT_EQ(context->get_domain_id(), 42u);
  context->shutdown("done");

  EnvironmentRestorer restore_domain("ROS_DOMAIN_ID");
  setenv("ROS_DOMAIN_ID", "0x11", 1);
  context->init(1, argv);
  EXPECT_EQ(context->get_domain_id(), 17u);
  context->shutdown("done");

  setenv("ROS_DOMAIN_ID", "eleven", 1);
  EXPECT_THROW(context->init(1, argv), rclcpp::exceptions::RCLError);
}

TEST(Init, SigtermShutsTheGlobalContextDownAndLogsTheSignal) {
  const char* argv[] = {"prog"};
  rclcpp::init(1, argv, rclcpp::InitOptions(rcutils_get_default_allocator()),
               rclcpp::SignalHandlerOptions::All);
  ASSERT_TRUE(rclcpp::signal_handlers_installed());
  // The global context keeps its callbacks for later initialisations: this one must outlive the
  // test and fire once.
  auto shut_down = std::make_shared<std::promise<void>>();
  auto fired = std::make_shared<std::once_flag>();
  rclcpp::on_shutdown(
      [shut_down, fired] { std::call_once(*fired, [&] { shut_down->set_value(); }); });
  kill(getpid(), SIGTERM);
  ASSERT_EQ(shut_down->get_future().wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_FALSE(rclcpp::ok());
  EXPECT_EQ(rclcpp::contexts::get_global_default_context()->shutdown_reason(), "signal handler");
  EXPECT_FALSE(rclcpp::shutdown());
  EXPECT_FALSE(rclcpp::signal_handlers_installed());
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
