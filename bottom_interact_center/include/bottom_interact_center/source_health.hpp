// What one source of the node (a board link, a listener, the battery unit, a service peer) has
// seen so far, kept by the class that sees it and read by the node's health reporting.
#ifndef BOTTOM_INTERACT_CENTER__SOURCE_HEALTH_HPP_
#define BOTTOM_INTERACT_CENTER__SOURCE_HEALTH_HPP_

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace bottom_interact_center {

// Events a source counts; each source uses the ones that apply to it.
enum class HealthEvent : std::size_t {
  kData,       // an answer, report, datagram, battery frame or service answer taken
  kBadData,    // one that did not parse or pass its checksum
  kConnected,  // a connection established (the first one included)
  kLinkLost,   // a link found down (a failed connect or a lost connection)
  kSendFailed,
  kReceiveFailed,
  kTimedOut,    // a board exchange or a service call that got no answer in time
  kDropped,     // a report frame too large for the buffer, dropped with its connection
  kCall,        // a service call made
  kNotOffered,  // a service call whose service was not offered
  kRefused,     // a service answer that refused the request
  kCount
};

// The state a source is in, as far as it knows.
enum class HealthState : int {
  kNotSeen,  // never up yet: not connected or opened so far
  kUp,       // connected, open
  kDown,     // was up or was tried, and is not now
  kRefused,  // cannot be used as configured (a battery path that is no terminal)
};

// Lock-free: the data path only increments atomics and stores a time stamp, so keeping the counts
// never holds up a datagram or an exchange. Readers take a Snapshot at any time.
class SourceHealth {
public:
  using Clock = std::chrono::steady_clock;

  struct Snapshot {
    std::array<uint64_t, static_cast<std::size_t>(HealthEvent::kCount)> counts{};
    HealthState state = HealthState::kNotSeen;
    Clock::time_point state_since{};  // when the state last changed
    // When kData and a failure (any event from kBadData on but kConnected and kCall) were last
    // counted; the epoch when never.
    Clock::time_point last_data{};
    Clock::time_point last_failure{};
    HealthEvent last_failure_event = HealthEvent::kCount;

    uint64_t Count(HealthEvent event) const { return counts[static_cast<std::size_t>(event)]; }
    // A failure happened after the last data: the source is failing now, not recovered.
    bool FailingSinceData() const { return last_failure > last_data; }
  };

  static bool IsFailure(HealthEvent event) {
    return event != HealthEvent::kData && event != HealthEvent::kConnected &&
           event != HealthEvent::kCall;
  }

  void Count(HealthEvent event) {
    counts_[static_cast<std::size_t>(event)].fetch_add(1, std::memory_order_relaxed);
    if (event == HealthEvent::kData) {
      last_data_ns_.store(NowTicks(), std::memory_order_relaxed);
    } else if (IsFailure(event)) {
      last_failure_event_.store(event, std::memory_order_relaxed);
      last_failure_ns_.store(NowTicks(), std::memory_order_relaxed);
    }
  }
  // Rare (a connect, a loss): stamps the change, so a reader can tell how long it has lasted.
  void SetState(HealthState state) {
    if (state_.exchange(state, std::memory_order_relaxed) != state) {
      state_since_ns_.store(NowTicks(), std::memory_order_relaxed);
    }
  }

  Snapshot Take() const {
    Snapshot snapshot;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
      snapshot.counts[i] = counts_[i].load(std::memory_order_relaxed);
    }
    snapshot.state = state_.load(std::memory_order_relaxed);
    snapshot.state_since = ToTime(state_since_ns_);
    snapshot.last_data = ToTime(last_data_ns_);
    snapshot.last_failure = ToTime(last_failure_ns_);
    snapshot.last_failure_event = last_failure_event_.load(std::memory_order_relaxed);
    return snapshot;
  }

private:
  static Clock::rep NowTicks() { return Clock::now().time_since_epoch().count(); }
  static Clock::time_point ToTime(const std::atomic<Clock::rep>& ticks) {
    return Clock::time_point(Clock::duration(ticks.load(std::memory_order_relaxed)));
  }

  std::array<std::atomic<uint64_t>, static_cast<std::size_t>(HealthEvent::kCount)> counts_{};
  std::atomic<HealthState> state_{HealthState::kNotSeen};
  std::atomic<Clock::rep> state_since_ns_{0};
  std::atomic<Clock::rep> last_data_ns_{0};
  std::atomic<Clock::rep> last_failure_ns_{0};
  std::atomic<HealthEvent> last_failure_event_{HealthEvent::kCount};
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__SOURCE_HEALTH_HPP_
