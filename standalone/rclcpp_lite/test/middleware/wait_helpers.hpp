// Waits driven by the middleware's own signals: data-ready callbacks and graph changes.
#ifndef MIDDLEWARE_TEST__WAIT_HELPERS_HPP_
#define MIDDLEWARE_TEST__WAIT_HELPERS_HPP_

#include <chrono>
#include <vector>

#include "rclcpp_lite/middleware.hpp"
#include "signal_counter.hpp"

/// Up to `count` messages, fewer if the timeout passes first.
template <typename Message>
std::vector<Message> take_messages(rclcpp_lite::SubscriptionCore& subscription,
                                   SignalCounter& arrivals, size_t count,
                                   std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::vector<Message> taken;
  while (taken.size() < count) {
    const size_t seen = arrivals.count();
    Message message;
    if (subscription.take(&message)) {
      taken.push_back(message);
      continue;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !arrivals.wait_for_count(seen + 1, left)) {
      break;
    }
  }
  return taken;
}

/// The next response meant for this client, or false at the deadline.
template <typename Response>
bool take_response(rclcpp_lite::ClientCore& client, SignalCounter& arrivals, Response& response,
                   rmw_request_id_t& request_id, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const size_t seen = arrivals.count();
    if (client.take_response(&response, request_id)) {
      return true;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !arrivals.wait_for_count(seen + 1, left)) {
      return false;
    }
  }
}

/// True once `holds` is true, re-checking only when the graph generation moves; false if a
/// wait for the next change times out, i.e. the state changed without the graph saying so.
template <typename Predicate>
bool graph_reaches(rclcpp_lite::Participant& participant, Predicate holds,
                   std::chrono::milliseconds timeout) {
  for (;;) {
    const uint64_t seen = participant.graph_generation();
    if (holds()) {
      return true;
    }
    if (!participant.wait_for_graph_change(seen, timeout)) {
      return false;
    }
  }
}

#endif  // MIDDLEWARE_TEST__WAIT_HELPERS_HPP_
