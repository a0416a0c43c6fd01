// Wall timers: the period grid and skipped periods after a late call, cancel and reset, a dropped
// timer, and an executor idling until a far timer.
//
// Time is what is tested, so these tests wait on it. A timer may be late but never early: lower
// bounds on call times are exact, upper bounds leave room for a loaded machine under sanitizers.
#include <gtest/gtest.h>
#include <pthread.h>
#include <time.h>

#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "api_test_context.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kTimeout = 10s;
// How late a call may come on a loaded machine without failing a test.
constexpr auto kLateness = 500ms;

/// For readable failures: a duration in milliseconds.
double ms(std::chrono::nanoseconds duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

class TimerTest : public ContextTest {
protected:
  void SetUp() override {
    init({"timer_test"});
    node_ = std::make_shared<rclcpp::Node>("timer_test", options());
  }

  /// Spins the node on a single-threaded executor, or a multi-threaded one with `threads`.
  std::shared_ptr<rclcpp::Executor> spin_node(size_t threads = 1) {
    std::shared_ptr<rclcpp::Executor> executor;
    if (threads == 1) {
      executor = std::make_shared<rclcpp::executors::SingleThreadedExecutor>(executor_options());
    } else {
      executor =
          std::make_shared<rclcpp::executors::MultiThreadedExecutor>(executor_options(), threads);
    }
    executor->add_node(node_);
    spin_in_background(executor);
    return executor;
  }

  /// Notes a call, at the time it began.
  void record_call() {
    const auto now = Clock::now();
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(now);
    changed_.notify_all();
  }

  /// The times of the calls so far once there are `count` of them (fewer after kTimeout).
  std::vector<Clock::time_point> wait_for_calls(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, kTimeout, [&] { return calls_.size() >= count; });
    return calls_;
  }

  size_t call_count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_.size();
  }

  rclcpp::Node::SharedPtr node_;

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Clock::time_point> calls_;
};

}  // namespace

TEST_F(TimerTest, CreateWallTimerTakesAnyDurationAndRefusesNegativePeriodsAndForeignGroups) {
  try {
    node_->create_wall_timer(-1ms, [] {});
    ADD_FAILURE() << "a negative period was accepted";
  } catch (const std::invalid_argument& error) {
    EXPECT_STREQ(error.what(), "timer period cannot be negative");
  }
  auto other = std::make_shared<rclcpp::Node>("other", options());
  try {
    node_->create_wall_timer(
        1s, [] {}, other->create_callback_group(rclcpp::CallbackGroupType::Reentrant));
    ADD_FAILURE() << "a group of another node was accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Cannot create timer, group not in node.");
  }

  // A period no time point can be added to comes never, rather than in the past.
  auto never = node_->create_wall_timer(std::chrono::nanoseconds::max() - 1ns, [] {});
  EXPECT_GT(ms(never->time_until_trigger()), ms(std::chrono::hours(24 * 365 * 100)));
  auto now = node_->create_wall_timer(0s, [](rclcpp::TimerBase&) {});
  EXPECT_TRUE(now->is_ready());
}

TEST_F(TimerTest, CallsComeOnThePeriodGridThoughEachCallbackTakesMostOfAPeriod) {
  constexpr auto period = 200ms;
  const auto before = Clock::now();
  auto timer = node_->create_wall_timer(period, [this] {
    record_call();
    std::this_thread::sleep_for(120ms);
  });
  const auto created = Clock::now();
  spin_node();
  // Timing each call from the end of the last one would put the eighth 7 * 120 ms late.
  const auto calls = wait_for_calls(8);
  ASSERT_GE(calls.size(), 8u);
  for (size_t k = 1; k <= 8; ++k) {
    SCOPED_TRACE("call " + std::to_string(k));
    EXPECT_GE(ms(calls[k - 1] - before), ms(k * period));
    EXPECT_LT(ms(calls[k - 1] - created), ms(k * period + kLateness));
  }
}

// As rcl schedules them: the call due at 2 periods comes late, as soon as the first call's
// callback returns at 3.5 periods; the one due at 3 periods is skipped, and the next calls come at
// 4 and 5 periods.
TEST_F(TimerTest, ACallLateByPeriodsSkipsThemInsteadOfMakingThemUp) {
  constexpr auto period = 300ms;
  const auto before = Clock::now();
  auto timer = node_->create_wall_timer(period, [this] {
    record_call();
    if (call_count() == 1) {
      std::this_thread::sleep_for(750ms);
    }
  });
  const auto created = Clock::now();
  spin_node();
  const auto calls = wait_for_calls(4);
  ASSERT_GE(calls.size(), 4u);
  EXPECT_GE(ms(calls[1] - before), ms(3 * period + period / 2));
  EXPECT_LT(ms(calls[1] - created), ms(3 * period + period / 2 + kLateness));
  // A made-up call would come at once too, at 3.5 periods.
  EXPECT_GE(ms(calls[2] - before), ms(4 * period));
  EXPECT_GE(ms(calls[3] - before), ms(5 * period));
  EXPECT_LT(ms(calls[3] - created), ms(5 * period + kLateness));
}

TEST_F(TimerTest, CancelStopsTheCallsAndResetRestartsThePeriodFromNow) {
  constexpr auto period = 200ms;
  auto timer = node_->create_wall_timer(period, [this] { record_call(); });
  timer->cancel();
  EXPECT_TRUE(timer->is_canceled());
  EXPECT_EQ(timer->time_until_trigger(), std::chrono::nanoseconds::max());
  spin_node();
  std::this_thread::sleep_for(3 * period);
  EXPECT_EQ(call_count(), 0u);

  // The executor has nothing due: the reset has to wake it.
  const auto reset = Clock::now();
  timer->reset();
  EXPECT_FALSE(timer->is_canceled());
  auto calls = wait_for_calls(1);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_GE(ms(calls[0] - reset), ms(period));
  EXPECT_LT(ms(calls[0] - reset), ms(period + kLateness));

  // Half a period after a call, a reset moves the next call a whole period on.
  std::this_thread::sleep_until(calls[0] + period / 2);
  const auto second_reset = Clock::now();
  timer->reset();
  calls = wait_for_calls(2);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_GE(ms(calls[1] - second_reset), ms(period));
  EXPECT_LT(ms(calls[1] - second_reset), ms(period + kLateness));
}

TEST_F(TimerTest, ATimerDroppedByItsOwnerIsNotCalledAgain) {
  rclcpp::TimerBase::SharedPtr timer;
  // Dropped during its second call: the group holds it only weakly.
  timer = node_->create_wall_timer(50ms, [this, &timer] {
    if (call_count() == 1) {
      timer.reset();  // before the call is noted, which the test thread waits for
    }
    record_call();
  });
  spin_node(2);
  ASSERT_EQ(wait_for_calls(2).size(), 2u);
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(call_count(), 2u);
}

TEST_F(TimerTest, AnExecutorSleepsUntilAFarTimerAndEndsPromptlyOnShutdown) {
  auto timer = node_->create_wall_timer(1h, [this] { record_call(); });
  auto other_node = std::make_shared<rclcpp::Node>("timer_test_other", options());
  auto other_timer = other_node->create_wall_timer(1h, [this] { record_call(); });
  auto single = std::make_shared<rclcpp::executors::SingleThreadedExecutor>(executor_options());
  auto multi = std::make_shared<rclcpp::executors::MultiThreadedExecutor>(executor_options(), 3);
  single->add_node(node_);
  multi->add_node(other_node);
  std::promise<void> single_done;
  std::thread single_thread([&] {
    single->spin();
    single_done.set_value();
  });

  // Waiting for the timer by polling would keep the spinning thread busy (alone: two polling
  // executors would mostly wait on each other for the wake signal's lock).
  clockid_t single_cpu;
  EXPECT_EQ(pthread_getcpuclockid(single_thread.native_handle(), &single_cpu), 0);
  const auto cpu_time = [&single_cpu] {
    timespec time{};
    clock_gettime(single_cpu, &time);
    return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
  };
  const auto cpu_before = cpu_time();
  std::this_thread::sleep_for(1s);
  EXPECT_LT(ms(cpu_time() - cpu_before), 50);

  auto multi_spin = std::async(std::launch::async, [&] { multi->spin(); });
  std::this_thread::sleep_for(100ms);

  context_->shutdown("test over");
  EXPECT_EQ(single_done.get_future().wait_for(3s), std::future_status::ready);
  EXPECT_EQ(multi_spin.wait_for(3s), std::future_status::ready);
  single->cancel();
  single_thread.join();
  EXPECT_EQ(call_count(), 0u);
}
