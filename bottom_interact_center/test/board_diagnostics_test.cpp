// The /diagnostics publisher in process: a change of level goes out at once, not only with the
// next periodic array.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bottom_interact_center/board_diagnostics.hpp"
#include "support/spun_nodes.hpp"

namespace bottom_interact_center::test {
namespace {

using namespace std::chrono_literals;
using Array = diagnostic_msgs::msg::DiagnosticArray;
using Status = diagnostic_msgs::msg::DiagnosticStatus;

// The level of one status in each array that holds it, in order (the process's own node
// publishes its arrays on the topic too).
class LevelLog {
public:
  LevelLog(rclcpp::Node& node, const std::string& name)
      : subscription_(node.create_subscription<Array>(
            BoardDiagnostics::kTopic, 10, [this, name](const Array& array) {
              if (array.status.empty() || array.status[0].name != name) {
                return;
              }
              const std::lock_guard<std::mutex> lock(mutex_);
              levels_.push_back(array.status[0].level);
              changed_.notify_all();
            })) {}

  bool WaitForAny(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return !levels_.empty(); });
  }
  std::vector<uint8_t> Levels() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return levels_;
  }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<uint8_t> levels_;
  rclcpp::Subscription<Array>::SharedPtr subscription_;
};

// Consecutive repeats dropped: the changes of level.
std::vector<uint8_t> Changes(const std::vector<uint8_t>& levels) {
  std::vector<uint8_t> changes;
  for (const uint8_t level : levels) {
    if (changes.empty() || changes.back() != level) {
      changes.push_back(level);
    }
  }
  return changes;
}

TEST(BoardDiagnostics, EveryChangeOfLevelIsPublishedEvenWhenItLastsLessThanThePeriod) {
  auto node = std::make_shared<rclcpp::Node>("diagnosed_node");
  auto listener = std::make_shared<rclcpp::Node>("diagnostics_listener");
  LevelLog log(*listener, "diagnosed_node: link");
  SourceHealth link;
  link.SetState(HealthState::kUp);
  BoardDiagnostics diagnostics(
      *node, nullptr,
      {{"link", "hw", &link,
        [](const SourceHealth::Snapshot& now, const SourceHealth::Snapshot&,
           BoardDiagnostics::TimePoint at) { return StatusRules::CommandLink(now, at); }}});
  SpunNodes spun({node, listener});
  ASSERT_TRUE(log.WaitForAny(10s));

  // Six states of 700 ms each: published only once a second, at most five arrays would go out
  // meanwhile, and some states would never be seen.
  for (int i = 0; i < 6; ++i) {
    link.SetState(i % 2 == 0 ? HealthState::kDown : HealthState::kUp);
    std::this_thread::sleep_for(700ms);
  }
  const std::vector<uint8_t> expected{Status::OK, Status::ERROR, Status::OK, Status::ERROR,
                                      Status::OK, Status::ERROR, Status::OK};
  EXPECT_EQ(Changes(log.Levels()), expected);
}

}  // namespace
}  // namespace bottom_interact_center::test
