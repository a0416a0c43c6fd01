#include "bottom_interact_center/status_rules.hpp"

#include <cstdio>
#include <string>

namespace bottom_interact_center {
namespace {

using Status = StatusRules::Status;
using Snapshot = StatusRules::Snapshot;
using TimePoint = StatusRules::TimePoint;

double SecondsBetween(TimePoint from, TimePoint to) {
  return std::chrono::duration<double>(to - from).count();
}

std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f", value);
  return text;
}

// Whole seconds, for messages.
std::string WholeSeconds(TimePoint from, TimePoint to) {
  return std::to_string(static_cast<long long>(SecondsBetween(from, to)));
}

std::string AgeOf(TimePoint stamp, TimePoint at) {
  return stamp == TimePoint{} ? "never" : OneDecimal(SecondsBetween(stamp, at));
}

void Add(Status& status, const std::string& key, const std::string& value) {
  diagnostic_msgs::msg::KeyValue pair;
  pair.key = key;
  pair.value = value;
  status.values.push_back(pair);
}

void AddCount(Status& status, const std::string& key, const Snapshot& now, HealthEvent event) {
  Add(status, key, std::to_string(now.Count(event)));
}

Status& Judge(Status& status, uint8_t level, const std::string& message) {
  status.level = level;
  status.message = message;
  return status;
}

bool NeverSeen(TimePoint stamp) {
  return stamp == TimePoint{};
}

// A failure after the last data, recent enough to matter.
bool FailingNow(const Snapshot& now, TimePoint at) {
  return now.FailingSinceData() && at - now.last_failure < StatusRules::kFailureMemory;
}

bool SilentTooLong(const Snapshot& now, TimePoint at) {
  return at - now.last_data > StatusRules::kStaleAfter;
}

uint64_t InPeriod(const Snapshot& now, const Snapshot& period_ago, HealthEvent event) {
  return now.Count(event) - period_ago.Count(event);
}

std::string FailureText(HealthEvent event) {
  switch (event) {
    case HealthEvent::kBadData:
      return "unreadable data";
    case HealthEvent::kLinkLost:
      return "link lost";
    case HealthEvent::kSendFailed:
      return "send failed";
    case HealthEvent::kReceiveFailed:
      return "receive failed";
    case HealthEvent::kTimedOut:
      return "no answer in time";
    case HealthEvent::kDropped:
      return "report too large, dropped with the connection";
    case HealthEvent::kNotOffered:
      return "not offered when a call needed it";
    case HealthEvent::kRefused:
      return "request refused";
    default:
      return "failure";
  }
}

std::string FailureMessage(const Snapshot& now, TimePoint at) {
  return FailureText(now.last_failure_event) + " " + WholeSeconds(now.last_failure, at) +
         " s ago, nothing taken since";
}

}  // namespace

Status StatusRules::CommandLink(const Snapshot& now, TimePoint at) {
  Status status;
  const uint64_t connections = now.Count(HealthEvent::kConnected);
  Add(status, "connected", now.state == HealthState::kUp ? "yes" : "no");
  Add(status, "reconnects", std::to_string(connections > 0 ? connections - 1 : 0));
  AddCount(status, "link lost events", now, HealthEvent::kLinkLost);
  AddCount(status, "send failures", now, HealthEvent::kSendFailed);
  AddCount(status, "receive failures", now, HealthEvent::kReceiveFailed);
  AddCount(status, "time-outs", now, HealthEvent::kTimedOut);
  AddCount(status, "unreadable answers", now, HealthEvent::kBadData);
  Add(status, "last answer age (s)", AgeOf(now.last_data, at));
  switch (now.state) {
    case HealthState::kNotSeen:
      return Judge(status, Status::WARN, "not connected yet: connects at the next command");
    case HealthState::kUp:
      break;
    default:
      return Judge(status, Status::ERROR, "down: the board refuses or ignores the connection");
  }
  if (FailingNow(now, at)) {
    return Judge(status, Status::WARN, FailureMessage(now, at));
  }
  return Judge(status, Status::OK, "connected");
}

Status StatusRules::ReportConnection(const Snapshot& now, TimePoint at) {
  Status status;
  Add(status, "board connected", now.state == HealthState::kUp ? "yes" : "no");
  AddCount(status, "connections", now, HealthEvent::kConnected);
  AddCount(status, "reports handled", now, HealthEvent::kData);
  AddCount(status, "unreadable reports", now, HealthEvent::kBadData);
  AddCount(status, "oversize reports dropped", now, HealthEvent::kDropped);
  Add(status, "last report age (s)", AgeOf(now.last_data, at));
  switch (now.state) {
    case HealthState::kNotSeen:
      return Judge(status, Status::WARN, "board not connected yet");
    case HealthState::kUp:
      break;
    default:
      if (at - now.state_since >= kReportDownTooLong) {
        return Judge(status, Status::ERROR,
                     "board disconnected for " + WholeSeconds(now.state_since, at) + " s");
      }
      return Judge(status, Status::WARN, "board disconnected, waiting for it to reconnect");
  }
  if (FailingNow(now, at)) {
    return Judge(status, Status::WARN, FailureMessage(now, at));
  }
  return Judge(status, Status::OK, "board connected");
}

Status StatusRules::Datagrams(const Snapshot& now, const Snapshot& period_ago, TimePoint at) {
  Status status;
  const uint64_t rate = InPeriod(now, period_ago, HealthEvent::kData) / kPeriod.count();
  const uint64_t bad = InPeriod(now, period_ago, HealthEvent::kBadData);
  AddCount(status, "received", now, HealthEvent::kData);
  Add(status, "rate (1/s)", std::to_string(rate));
  AddCount(status, "unreadable datagrams", now, HealthEvent::kBadData);
  Add(status, "last datagram age (s)", AgeOf(now.last_data, at));
  if (bad > 0) {
    return Judge(status, Status::WARN,
                 std::to_string(bad) + " unreadable datagrams in the last second");
  }
  if (NeverSeen(now.last_data)) {
    return Judge(status, Status::WARN, "no datagram yet");
  }
  if (SilentTooLong(now, at)) {
    return Judge(status, Status::STALE, "silent for " + WholeSeconds(now.last_data, at) + " s");
  }
  return Judge(status, Status::OK, std::to_string(rate) + " datagrams/s");
}

Status StatusRules::BatteryUnit(const Snapshot& now, const Snapshot& period_ago, TimePoint at) {
  Status status;
  static const char* const kStateNames[] = {"not opened yet", "open", "not open", "not a terminal"};
  const uint64_t bad = InPeriod(now, period_ago, HealthEvent::kBadData);
  Add(status, "tty", kStateNames[static_cast<int>(now.state)]);
  AddCount(status, "readings", now, HealthEvent::kData);
  AddCount(status, "bad frames", now, HealthEvent::kBadData);
  Add(status, "last reading age (s)", AgeOf(now.last_data, at));
  switch (now.state) {
    case HealthState::kNotSeen:
      return Judge(status, Status::WARN, "not opened yet: opened at the first sensor datagram");
    case HealthState::kUp:
      break;
    case HealthState::kDown:
      return Judge(status, Status::ERROR, "tty lost or cannot be opened, tried again every 2 s");
    case HealthState::kRefused:
      return Judge(status, Status::ERROR, "not a terminal, not read");
  }
  if (bad > 0) {
    return Judge(status, Status::WARN, std::to_string(bad) + " bad frames in the last second");
  }
  if (NeverSeen(now.last_data)) {
    return Judge(status, Status::WARN, "open, no reading yet: the board's figures are used");
  }
  if (SilentTooLong(now, at)) {
    return Judge(
        status, Status::STALE,
        "no reading for " + WholeSeconds(now.last_data, at) + " s: the board's figures are used");
  }
  return Judge(status, Status::OK, "reading");
}

Status StatusRules::BatteryFromBoard() {
  Status status;
  Add(status, "tty", "none configured");
  return Judge(status, Status::OK, "no battery tty: the board's figures are used");
}

Status StatusRules::ServicePeer(const Snapshot& now, TimePoint at) {
  Status status;
  AddCount(status, "calls", now, HealthEvent::kCall);
  AddCount(status, "answered", now, HealthEvent::kData);
  AddCount(status, "not offered", now, HealthEvent::kNotOffered);
  AddCount(status, "no answer in time", now, HealthEvent::kTimedOut);
  AddCount(status, "refused", now, HealthEvent::kRefused);
  Add(status, "last answer age (s)", AgeOf(now.last_data, at));
  if (FailingNow(now, at)) {
    const uint8_t level =
        now.last_failure_event == HealthEvent::kNotOffered ? Status::ERROR : Status::WARN;
    return Judge(status, level, FailureMessage(now, at));
  }
  if (now.Count(HealthEvent::kCall) == 0) {
    return Judge(status, Status::OK, "no call yet");
  }
  return Judge(status, Status::OK, "answering");
}

}  // namespace bottom_interact_center
