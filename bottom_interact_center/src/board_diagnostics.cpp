#include "bottom_interact_center/board_diagnostics.hpp"

#include <utility>

namespace bottom_interact_center {
namespace {

// Snapshots kept per source: enough to reach one period back.
constexpr std::size_t kHistoryLength =
    StatusRules::kPeriod / BoardDiagnostics::kTick + static_cast<std::size_t>(1);

}  // namespace

BoardDiagnostics::BoardDiagnostics(rclcpp::Node& node, rclcpp::CallbackGroup::SharedPtr group,
                                   std::vector<Source> sources)
    : node_(node), sources_(std::move(sources)), history_(sources_.size()) {
  publisher_ = node_.create_publisher<diagnostic_msgs::msg::DiagnosticArray>(kTopic, 10);
  timer_ = node_.create_wall_timer(
      kTick, [this] { Tick(); }, group);
}

void BoardDiagnostics::Tick() {
  const TimePoint at = SourceHealth::Clock::now();
  diagnostic_msgs::msg::DiagnosticArray array = Judged(at);
  std::vector<uint8_t> levels;
  for (const auto& status : array.status) {
    levels.push_back(status.level);
  }
  if (levels == published_levels_ && at - last_published_ < kPublishPeriod) {
    return;
  }
  array.header.stamp = node_.now();
  publisher_->publish(array);
  published_levels_ = std::move(levels);
  last_published_ = at;
}

diagnostic_msgs::msg::DiagnosticArray BoardDiagnostics::Judged(TimePoint at) {
  diagnostic_msgs::msg::DiagnosticArray array;
  const std::string prefix = std::string(node_.get_name()) + ": ";
  for (std::size_t i = 0; i < sources_.size(); ++i) {
    auto& history = history_[i];
    history.push_back(sources_[i].health->Take());
    if (history.size() > kHistoryLength) {
      history.pop_front();
    }
    StatusRules::Status status = sources_[i].judge(history.back(), history.front(), at);
    status.name = prefix + sources_[i].what;
    if (status.hardware_id.empty()) {
      status.hardware_id = sources_[i].hardware_id;
    }
    array.status.push_back(std::move(status));
  }
  return array;
}

}  // namespace bottom_interact_center
