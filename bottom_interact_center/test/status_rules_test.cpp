// The level rules of the node's /diagnostics statuses, on snapshots made by hand.
#include <gtest/gtest.h>

#include <string>

#include "bottom_interact_center/status_rules.hpp"

namespace bottom_interact_center {
namespace {

using Status = StatusRules::Status;
using Snapshot = StatusRules::Snapshot;
using std::chrono::milliseconds;
using std::chrono::seconds;

const StatusRules::TimePoint kT0{std::chrono::hours(100)};

Snapshot With(HealthState state) {
  Snapshot snapshot;
  snapshot.state = state;
  return snapshot;
}

void Add(Snapshot& snapshot, HealthEvent event, uint64_t count = 1) {
  snapshot.counts[static_cast<std::size_t>(event)] += count;
}

// Data last taken at `data`, a failure of kind `event` at `failure`.
Snapshot Up(StatusRules::TimePoint data, StatusRules::TimePoint failure = {},
            HealthEvent event = HealthEvent::kCount) {
  Snapshot snapshot = With(HealthState::kUp);
  snapshot.last_data = data;
  snapshot.last_failure = failure;
  snapshot.last_failure_event = event;
  return snapshot;
}

std::string Value(const Status& status, const std::string& key) {
  for (const auto& pair : status.values) {
    if (pair.key == key) {
      return pair.value;
    }
  }
  ADD_FAILURE() << "no value " << key;
  return "";
}

TEST(StatusRules, CommandLinkIsAnErrorWhileDownAndAWarningUntilAnAnswerFollowsAFailure) {
  EXPECT_EQ(StatusRules::CommandLink(With(HealthState::kNotSeen), kT0).level, Status::WARN);
  EXPECT_EQ(StatusRules::CommandLink(With(HealthState::kDown), kT0).level, Status::ERROR);
  EXPECT_EQ(StatusRules::CommandLink(Up(kT0), kT0).level, Status::OK);

  // A time-out after the last answer: a warning for kFailureMemory, over exactly at its end.
  const Snapshot failed = Up(kT0 - seconds(20), kT0, HealthEvent::kTimedOut);
  const Status warned = StatusRules::CommandLink(failed, kT0 + seconds(9));
  EXPECT_EQ(warned.level, Status::WARN);
  EXPECT_EQ(warned.message, "no answer in time 9 s ago, nothing taken since");
  EXPECT_EQ(StatusRules::CommandLink(failed, kT0 + StatusRules::kFailureMemory).level, Status::OK);

  // An answer after the failure ends the warning at once.
  EXPECT_EQ(StatusRules::CommandLink(Up(kT0 + milliseconds(1), kT0, HealthEvent::kLinkLost),
                                     kT0 + milliseconds(2))
                .level,
            Status::OK);
}

TEST(StatusRules, CommandLinkFiguresCountReconnectsAfterTheFirstConnection) {
  Snapshot link = Up(kT0 - milliseconds(1500));
  EXPECT_EQ(Value(StatusRules::CommandLink(link, kT0), "reconnects"), "0");
  Add(link, HealthEvent::kConnected, 3);
  Add(link, HealthEvent::kLinkLost, 2);
  const Status status = StatusRules::CommandLink(link, kT0);
  EXPECT_EQ(Value(status, "reconnects"), "2");
  EXPECT_EQ(Value(status, "link lost events"), "2");
  EXPECT_EQ(Value(status, "connected"), "yes");
  EXPECT_EQ(Value(status, "last answer age (s)"), "1.5");
  EXPECT_EQ(
      Value(StatusRules::CommandLink(With(HealthState::kNotSeen), kT0), "last answer age (s)"),
      "never");
}

TEST(StatusRules, DatagramRateIsCountedOverThePeriodAndSilenceBecomesStaleAfterTheStatedTime) {
  Snapshot period_ago = Up(kT0 - seconds(1));
  Add(period_ago, HealthEvent::kData, 500);
  // A burst of 100 within the period: the rate says 100, the level stays OK.
  Snapshot now = period_ago;
  Add(now, HealthEvent::kData, 100);
  now.last_data = kT0;
  Status status = StatusRules::Datagrams(now, period_ago, kT0);
  EXPECT_EQ(status.level, Status::OK);
  EXPECT_EQ(status.message, "100 datagrams/s");
  EXPECT_EQ(Value(status, "rate (1/s)"), "100");
  EXPECT_EQ(Value(status, "received"), "600");

  // Silent exactly the stated time is still OK; longer is stale.
  EXPECT_EQ(StatusRules::Datagrams(now, now, kT0 + StatusRules::kStaleAfter).level, Status::OK);
  status = StatusRules::Datagrams(now, now, kT0 + StatusRules::kStaleAfter + milliseconds(1));
  EXPECT_EQ(status.level, Status::STALE);
  EXPECT_EQ(status.message, "silent for 3 s");
  EXPECT_EQ(Value(status, "rate (1/s)"), "0");

  // Never a datagram: a warning, not stale.
  EXPECT_EQ(StatusRules::Datagrams(Snapshot(), Snapshot(), kT0).level, Status::WARN);
}

TEST(StatusRules, UnreadableDatagramsWarnOnlyForThePeriodTheyCameIn) {
  Snapshot period_ago = Up(kT0);
  Add(period_ago, HealthEvent::kBadData, 4);  // an earlier period's
  Snapshot now = period_ago;
  EXPECT_EQ(StatusRules::Datagrams(now, period_ago, kT0).level, Status::OK);
  Add(now, HealthEvent::kBadData, 2);
  const Status status = StatusRules::Datagrams(now, period_ago, kT0);
  EXPECT_EQ(status.level, Status::WARN);
  EXPECT_EQ(status.message, "2 unreadable datagrams in the last second");
  EXPECT_EQ(Value(status, "unreadable datagrams"), "6");
  // Even while nothing good comes.
  EXPECT_EQ(StatusRules::Datagrams(now, period_ago, kT0 + seconds(60)).level, Status::WARN);
}

TEST(StatusRules, BatteryUnitByTtyStateThenByItsReadings) {
  EXPECT_EQ(StatusRules::BatteryUnit(With(HealthState::kNotSeen), Snapshot(), kT0).level,
            Status::WARN);
  EXPECT_EQ(StatusRules::BatteryUnit(With(HealthState::kDown), Snapshot(), kT0).level,
            Status::ERROR);
  const Status refused = StatusRules::BatteryUnit(With(HealthState::kRefused), Snapshot(), kT0);
  EXPECT_EQ(refused.level, Status::ERROR);
  EXPECT_EQ(Value(refused, "tty"), "not a terminal");
  EXPECT_EQ(StatusRules::BatteryUnit(With(HealthState::kUp), Snapshot(), kT0).level, Status::WARN);

  const Snapshot reading = Up(kT0);
  EXPECT_EQ(StatusRules::BatteryUnit(reading, reading, kT0 + seconds(3)).level, Status::OK);
  EXPECT_EQ(StatusRules::BatteryUnit(reading, reading, kT0 + milliseconds(3001)).level,
            Status::STALE);
  Snapshot bad = reading;
  Add(bad, HealthEvent::kBadData);
  EXPECT_EQ(StatusRules::BatteryUnit(bad, reading, kT0).level, Status::WARN);

  EXPECT_EQ(StatusRules::BatteryFromBoard().level, Status::OK);
}

TEST(StatusRules, ReportConnectionDownIsAWarningForTheStatedTimeThenAnError) {
  EXPECT_EQ(StatusRules::ReportConnection(With(HealthState::kNotSeen), kT0).level, Status::WARN);
  Snapshot down = With(HealthState::kDown);
  down.state_since = kT0;
  EXPECT_EQ(StatusRules::ReportConnection(down, kT0 + seconds(9)).level, Status::WARN);
  const Status error = StatusRules::ReportConnection(down, kT0 + StatusRules::kReportDownTooLong);
  EXPECT_EQ(error.level, Status::ERROR);
  EXPECT_EQ(error.message, "board disconnected for 10 s");
  EXPECT_EQ(StatusRules::ReportConnection(Up(kT0 - seconds(30)), kT0).level, Status::OK);
  EXPECT_EQ(
      StatusRules::ReportConnection(Up(kT0 - seconds(30), kT0, HealthEvent::kDropped), kT0).level,
      Status::WARN);
}

TEST(StatusRules, ServicePeerNotOfferedIsAnErrorNoAnswerAWarningAnAnswerEndsBoth) {
  Snapshot peer;
  EXPECT_EQ(StatusRules::ServicePeer(peer, kT0).message, "no call yet");
  Add(peer, HealthEvent::kCall, 3);
  peer.last_data = kT0 - seconds(5);
  peer.last_failure = kT0 - seconds(1);
  peer.last_failure_event = HealthEvent::kNotOffered;
  EXPECT_EQ(StatusRules::ServicePeer(peer, kT0).level, Status::ERROR);
  peer.last_failure_event = HealthEvent::kTimedOut;
  EXPECT_EQ(StatusRules::ServicePeer(peer, kT0).level, Status::WARN);
  peer.last_data = kT0;
  const Status answering = StatusRules::ServicePeer(peer, kT0);
  EXPECT_EQ(answering.level, Status::OK);
  EXPECT_EQ(Value(answering, "calls"), "3");
}

}  // namespace
}  // namespace bottom_interact_center
