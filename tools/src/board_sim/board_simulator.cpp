#include "board_sim/board_simulator.hpp"

#include <utility>

#include "board_sim/reply_builder.hpp"

namespace board_sim {

BoardSimulator::BoardSimulator(Options options)
    : options_(std::move(options)),
      scenarios_(options_.scenarios),
      default_scenario_(options_.default_scenario) {}

BoardSimulator::~BoardSimulator() {
  Stop();
}

bool BoardSimulator::Start(std::string* reason) {
  std::lock_guard<std::mutex> lock(lifecycle_mutex_);
  if (procter_) return true;
  std::string why;
  auto procter = MakeListener(Link::kProcter, options_.procter_port);
  auto light = MakeListener(Link::kLight, options_.light_port);
  if (!procter->Start(&why) || !light->Start(&why)) {
    if (reason) *reason = why;
    return false;  // the destructors stop whichever listener did start
  }
  // A restart listens on the same ports, also when the kernel chose them.
  options_.procter_port = procter->port();
  options_.light_port = light->port();
  procter_ = std::move(procter);
  light_ = std::move(light);
  Report("listening on " + options_.address + ": procter port " +
         std::to_string(options_.procter_port) + ", light port " +
         std::to_string(options_.light_port));
  return true;
}

void BoardSimulator::Stop() {
  std::lock_guard<std::mutex> lock(lifecycle_mutex_);
  procter_.reset();
  light_.reset();
}

uint16_t BoardSimulator::procter_port() const {
  std::lock_guard<std::mutex> lock(lifecycle_mutex_);
  return options_.procter_port;
}

uint16_t BoardSimulator::light_port() const {
  std::lock_guard<std::mutex> lock(lifecycle_mutex_);
  return options_.light_port;
}

void BoardSimulator::SetScenario(CommandKind kind, const Scenario& scenario) {
  std::lock_guard<std::mutex> lock(scenario_mutex_);
  scenarios_[kind] = scenario;
}

void BoardSimulator::SetDefaultScenario(const Scenario& scenario) {
  std::lock_guard<std::mutex> lock(scenario_mutex_);
  default_scenario_ = scenario;
}

void BoardSimulator::ClearScenarios() {
  std::lock_guard<std::mutex> lock(scenario_mutex_);
  scenarios_.clear();
}

void BoardSimulator::CloseConnections() {
  std::lock_guard<std::mutex> lock(lifecycle_mutex_);
  if (!procter_) return;
  procter_->CloseConnections();
  light_->CloseConnections();
}

std::vector<RecordedRequest> BoardSimulator::Requests() const {
  return record_.Requests();
}

bool BoardSimulator::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
  return record_.WaitForRequests(count, timeout);
}

std::size_t BoardSimulator::Connections(Link link) const {
  return record_.Connections(link);
}

bool BoardSimulator::WaitForConnections(Link link, std::size_t count,
                                        std::chrono::milliseconds timeout) const {
  return record_.WaitForConnections(link, count, timeout);
}

std::size_t BoardSimulator::UndecodableFrames(Link link) const {
  return record_.UndecodableFrames(link);
}

bool BoardSimulator::WaitForUndecodableFrames(Link link, std::size_t count,
                                              std::chrono::milliseconds timeout) const {
  return record_.WaitForUndecodable(link, count, timeout);
}

void BoardSimulator::ClearRecord() {
  record_.Clear();
}

std::unique_ptr<LinkListener> BoardSimulator::MakeListener(Link link, uint16_t port) {
  const std::string prefix = std::string("[") + LinkName(link) + "] ";
  LinkListener::Callbacks callbacks;
  callbacks.on_frame = [this, link](const std::string& payload) {
    return HandleFrame(link, payload);
  };
  callbacks.on_connect = [this, link, prefix] {
    record_.AddConnection(link);
    Report(prefix + "connection accepted");
  };
  callbacks.on_disconnect = [this, prefix] { Report(prefix + "connection closed"); };
  callbacks.on_oversize = [this, link, prefix] {
    record_.AddUndecodable(link);
    Report(prefix + "frame declares more than 4094 bytes; buffered bytes dropped");
  };
  return std::make_unique<LinkListener>(options_.address, port, options_.write_pause,
                                        std::move(callbacks));
}

ReplyPlan BoardSimulator::HandleFrame(Link link, const std::string& payload) {
  const std::string prefix = std::string("[") + LinkName(link) + "] ";
  RecordedRequest recorded;
  recorded.link = link;
  if (!recorded.request.ParseFromString(payload)) {
    record_.AddUndecodable(link);
    Report(prefix + "undecodable frame of " + std::to_string(payload.size()) + " bytes");
    return {};
  }
  recorded.kind = ClassifyRequest(recorded.request);
  recorded.answered_with = ScenarioFor(recorded.kind);
  record_.AddRequest(recorded);
  Report(prefix + CommandKindName(recorded.kind) + ": " + recorded.request.ShortDebugString() +
         " -> " + recorded.answered_with.ToString());
  return ReplyBuilder::Build(recorded.answered_with, recorded.request, recorded.kind);
}

Scenario BoardSimulator::ScenarioFor(CommandKind kind) const {
  std::lock_guard<std::mutex> lock(scenario_mutex_);
  const auto found = scenarios_.find(kind);
  return found != scenarios_.end() ? found->second : default_scenario_;
}

void BoardSimulator::Report(const std::string& line) const {
  if (options_.on_event) options_.on_event(line);
}

}  // namespace board_sim
