#include "board_sim/traffic_record.hpp"

namespace board_sim {

void TrafficRecord::AddRequest(const RecordedRequest& request) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
  }
  changed_.notify_all();
}

void TrafficRecord::AddConnection(Link link) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++connections_[Index(link)];
  }
  changed_.notify_all();
}

void TrafficRecord::AddUndecodable(Link link) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++undecodable_[Index(link)];
  }
  changed_.notify_all();
}

void TrafficRecord::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
  connections_ = {};
  undecodable_ = {};
}

std::vector<RecordedRequest> TrafficRecord::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::size_t TrafficRecord::Connections(Link link) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connections_[Index(link)];
}

std::size_t TrafficRecord::UndecodableFrames(Link link) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return undecodable_[Index(link)];
}

bool TrafficRecord::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
  return WaitUntil([&] { return requests_.size() >= count; }, timeout);
}

bool TrafficRecord::WaitForConnections(Link link, std::size_t count,
                                       std::chrono::milliseconds timeout) const {
  return WaitUntil([&] { return connections_[Index(link)] >= count; }, timeout);
}

bool TrafficRecord::WaitForUndecodable(Link link, std::size_t count,
                                       std::chrono::milliseconds timeout) const {
  return WaitUntil([&] { return undecodable_[Index(link)] >= count; }, timeout);
}

template <typename Predicate>
bool TrafficRecord::WaitUntil(Predicate reached, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, reached);
}

}  // namespace board_sim
