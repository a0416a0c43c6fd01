#ifndef BOARD_SIM_TRAFFIC_RECORD_HPP_
#define BOARD_SIM_TRAFFIC_RECORD_HPP_

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

#include "board_sim/link.hpp"
#include "board_sim/recorded_request.hpp"

namespace board_sim {

// What the simulated board has seen, shared between its link threads and the observer; the Wait
// operations block until the count is reached or the time-out passes.
class TrafficRecord {
public:
  void AddRequest(const RecordedRequest& request);
  void AddConnection(Link link);
  void AddUndecodable(Link link);
  void Clear();

  std::vector<RecordedRequest> Requests() const;
  std::size_t Connections(Link link) const;
  std::size_t UndecodableFrames(Link link) const;

  bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
  bool WaitForConnections(Link link, std::size_t count, std::chrono::milliseconds timeout) const;
  bool WaitForUndecodable(Link link, std::size_t count, std::chrono::milliseconds timeout) const;

private:
  template <typename Predicate>
  bool WaitUntil(Predicate reached, std::chrono::milliseconds timeout) const;

  static std::size_t Index(Link link) { return static_cast<std::size_t>(link); }

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<RecordedRequest> requests_;
  std::array<std::size_t, 2> connections_{};
  std::array<std::size_t, 2> undecodable_{};
};

}  // namespace board_sim

#endif  // BOARD_SIM_TRAFFIC_RECORD_HPP_
