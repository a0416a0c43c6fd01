// Counts callbacks running at once: each waits (up to its patience) for a second one to join it.
#ifndef API_TEST__OVERLAP_PROBE_HPP_
#define API_TEST__OVERLAP_PROBE_HPP_

#include <chrono>
#include <condition_variable>
#include <mutex>

class OverlapProbe {
public:
  explicit OverlapProbe(std::chrono::milliseconds patience) : patience_(patience) {}

  void run();
  int most_running();

private:
  const std::chrono::milliseconds patience_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int running_ = 0;
  int most_running_ = 0;
};

#endif  // API_TEST__OVERLAP_PROBE_HPP_
