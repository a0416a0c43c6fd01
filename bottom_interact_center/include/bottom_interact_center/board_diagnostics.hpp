// The node's health on /diagnostics: one status per board link, listener, the battery unit and
// each service the node calls, as ROS 2's robot-monitoring tools read it.
#ifndef BOTTOM_INTERACT_CENTER__BOARD_DIAGNOSTICS_HPP_
#define BOTTOM_INTERACT_CENTER__BOARD_DIAGNOSTICS_HPP_

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "bottom_interact_center/source_health.hpp"
#include "bottom_interact_center/status_rules.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "rclcpp/rclcpp.hpp"

namespace bottom_interact_center {

// A wall timer looks at every source each kTick: the array goes out every kPublishPeriod, and at
// once when a status's level has changed. Reading the sources takes only atomic loads, so the
// data paths never wait for the publishing.
class BoardDiagnostics {
public:
  using TimePoint = SourceHealth::Clock::time_point;
  // A source's status from its snapshot now and one StatusRules::kPeriod ago.
  using Judge = std::function<StatusRules::Status(
      const SourceHealth::Snapshot& now, const SourceHealth::Snapshot& period_ago, TimePoint at)>;

  struct Source {
    std::string what;         // the status is named "<node name>: <what>"
    std::string hardware_id;  // unless the judge sets one
    const SourceHealth* health;
    Judge judge;
  };

  static constexpr std::chrono::milliseconds kTick{250};
  static constexpr std::chrono::seconds kPublishPeriod{1};
  static constexpr char kTopic[] = "/diagnostics";

  // Publishes from a timer in group, which some executor must serve.
  BoardDiagnostics(rclcpp::Node& node, rclcpp::CallbackGroup::SharedPtr group,
                   std::vector<Source> sources);

private:
  void Tick();
  diagnostic_msgs::msg::DiagnosticArray Judged(TimePoint at);

  rclcpp::Node& node_;
  std::vector<Source> sources_;
  // Each source's snapshots of the last kPeriod, oldest first (timer thread only).
  std::vector<std::deque<SourceHealth::Snapshot>> history_;
  std::vector<uint8_t> published_levels_;
  TimePoint last_published_{};
  rclcpp::Publisher<diagnostic_msgs::msg::DiagnosticArray>::SharedPtr publisher_;
  rclcpp::TimerBase::SharedPtr timer_;
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__BOARD_DIAGNOSTICS_HPP_
