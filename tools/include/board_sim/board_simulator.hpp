#ifndef BOARD_SIM_BOARD_SIMULATOR_HPP_
#define BOARD_SIM_BOARD_SIMULATOR_HPP_

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "board_sim/command_kind.hpp"
#include "board_sim/link.hpp"
#include "board_sim/link_listener.hpp"
#include "board_sim/recorded_request.hpp"
#include "board_sim/scenario.hpp"
#include "board_sim/traffic_record.hpp"

namespace board_sim {

// The lower board as seen from the node's two command links: it listens on the procter and light
// ports, decodes and records every framed CleaningComponentRequest and answers each by the
// scenario of its command kind (or the default scenario). Thread-safe; no ROS.
//
//   board_sim::BoardSimulator::Options options;
//   options.scenarios[board_sim::CommandKind::kWheel] = board_sim::Scenario::Error(2);
//   board_sim::BoardSimulator sim(options);
//   std::string reason;
//   if (!sim.Start(&reason)) { ... }
//   ... the node sends a wheel command, gets error 2 ...
//   sim.WaitForRequests(1, std::chrono::seconds(5));
class BoardSimulator {
public:
  struct Options {
    std::string address = "127.0.0.1";
    uint16_t procter_port = 8080;  // 0: any free port, see procter_port()
    uint16_t light_port = 8081;
    std::map<CommandKind, Scenario> scenarios;
    Scenario default_scenario;  // accept
    // Pause between the writes of the split and other-id-first answers.
    std::chrono::milliseconds write_pause{50};
    // One human-readable line per event (connection, request and answer, close), called from the
    // link threads, possibly two at once.
    std::function<void(const std::string& line)> on_event;
  };

  explicit BoardSimulator(Options options);
  ~BoardSimulator();
  BoardSimulator(const BoardSimulator&) = delete;
  BoardSimulator& operator=(const BoardSimulator&) = delete;

  // Starts listening on both ports. False and *reason (if given) when a port cannot be used.
  // Start after Stop listens again on the same ports.
  bool Start(std::string* reason = nullptr);
  // Closes every connection and both ports and joins the threads. Recorded traffic is kept.
  void Stop();

  uint16_t procter_port() const;
  uint16_t light_port() const;

  void SetScenario(CommandKind kind, const Scenario& scenario);
  void SetDefaultScenario(const Scenario& scenario);
  // Back to the default scenario for every kind.
  void ClearScenarios();

  // Drops the open connections of both links; the ports keep listening.
  void CloseConnections();

  std::vector<RecordedRequest> Requests() const;
  // Requests received so far on both links, until count is reached or the time-out passes.
  bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
  // Connections accepted on the link since construction (or ClearRecord).
  std::size_t Connections(Link link) const;
  bool WaitForConnections(Link link, std::size_t count, std::chrono::milliseconds timeout) const;
  // Frames that did not parse as a request, or declared an oversize length.
  std::size_t UndecodableFrames(Link link) const;
  bool WaitForUndecodableFrames(Link link, std::size_t count,
                                std::chrono::milliseconds timeout) const;
  void ClearRecord();

private:
  std::unique_ptr<LinkListener> MakeListener(Link link, uint16_t port);
  ReplyPlan HandleFrame(Link link, const std::string& payload);
  Scenario ScenarioFor(CommandKind kind) const;
  void Report(const std::string& line) const;

  Options options_;
  mutable std::mutex scenario_mutex_;
  std::map<CommandKind, Scenario> scenarios_;
  Scenario default_scenario_;
  TrafficRecord record_;
  mutable std::mutex lifecycle_mutex_;
  std::unique_ptr<LinkListener> procter_;
  std::unique_ptr<LinkListener> light_;
};

}  // namespace board_sim

#endif  // BOARD_SIM_BOARD_SIMULATOR_HPP_
