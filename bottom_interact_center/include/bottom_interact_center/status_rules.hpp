// How a source's counts and state become a level, a one-line message and key/value figures on
// /diagnostics.
#ifndef BOTTOM_INTERACT_CENTER__STATUS_RULES_HPP_
#define BOTTOM_INTERACT_CENTER__STATUS_RULES_HPP_

#include <chrono>

#include "bottom_interact_center/source_health.hpp"
#include "diagnostic_msgs/msg/diagnostic_status.hpp"

namespace bottom_interact_center {

// Levels follow from the state and from counts over a period, never from a single message, so a
// status does not flap with the data rate. The caller names the status and gives its hardware id.
class StatusRules {
public:
  using Status = diagnostic_msgs::msg::DiagnosticStatus;
  using Snapshot = SourceHealth::Snapshot;
  using TimePoint = SourceHealth::Clock::time_point;

  // Rates and bad-data counts are taken over this period.
  static constexpr std::chrono::seconds kPeriod{1};
  // A datagram source or battery unit that was flowing and has been silent this long is stale.
  // Three seconds is also how long a battery reading is used.
  static constexpr std::chrono::seconds kStaleAfter{3};
  // A failure with no data since is reported for this long; data that comes ends it at once.
  static constexpr std::chrono::seconds kFailureMemory{10};
  // The board's report connection down this long is an error, shorter a restart under way.
  static constexpr std::chrono::seconds kReportDownTooLong{10};

  // The procter and light links. `now` is the source's snapshot, taken at `at`.
  static Status CommandLink(const Snapshot& now, TimePoint at);
  // The board's report connection.
  static Status ReportConnection(const Snapshot& now, TimePoint at);
  // Sensor or motor datagrams; period_ago is the snapshot taken kPeriod before `now`.
  static Status Datagrams(const Snapshot& now, const Snapshot& period_ago, TimePoint at);
  // The battery unit read on a tty.
  static Status BatteryUnit(const Snapshot& now, const Snapshot& period_ago, TimePoint at);
  // No tty configured: the board's own battery figures are forwarded.
  static Status BatteryFromBoard();
  // A ROS service the node calls.
  static Status ServicePeer(const Snapshot& now, TimePoint at);
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__STATUS_RULES_HPP_
