// rclcpp::QoS as in rclcpp/qos.hpp (Humble): an rmw_qos_profile_t with chainable setters.
#ifndef RCLCPP__QOS_HPP_
#define RCLCPP__QOS_HPP_

#include <cstddef>

#include "rmw/qos_profiles.h"
#include "rmw/types.h"

namespace rclcpp {

/// The history part of a QoS: keep-last with a depth, or keep-all.
struct QoSInitialization {
  rmw_qos_history_policy_t history_policy;
  size_t depth;

  QoSInitialization(rmw_qos_history_policy_t history_policy_arg, size_t depth_arg)
      : history_policy(history_policy_arg), depth(depth_arg) {}
};

struct KeepAll : public QoSInitialization {
  KeepAll() : QoSInitialization(RMW_QOS_POLICY_HISTORY_KEEP_ALL, 0) {}
};

struct KeepLast : public QoSInitialization {
  explicit KeepLast(size_t depth) : QoSInitialization(RMW_QOS_POLICY_HISTORY_KEEP_LAST, depth) {}
};

class QoS {
public:
  explicit QoS(const QoSInitialization& qos_initialization,
               const rmw_qos_profile_t& initial_profile = rmw_qos_profile_default)
      : rmw_qos_profile_(initial_profile) {
    rmw_qos_profile_.history = qos_initialization.history_policy;
    rmw_qos_profile_.depth = qos_initialization.depth;
  }

  /// Keep-last `history_depth` on top of rmw_qos_profile_default: create_publisher<T>("t", 10).
  QoS(size_t history_depth) : QoS(KeepLast(history_depth)) {}  // NOLINT(runtime/explicit)

  rmw_qos_profile_t& get_rmw_qos_profile() { return rmw_qos_profile_; }
  const rmw_qos_profile_t& get_rmw_qos_profile() const { return rmw_qos_profile_; }

  QoS& history(rmw_qos_history_policy_t history) {
    rmw_qos_profile_.history = history;
    return *this;
  }
  QoS& keep_last(size_t depth) {
    rmw_qos_profile_.history = RMW_QOS_POLICY_HISTORY_KEEP_LAST;
    rmw_qos_profile_.depth = depth;
    return *this;
  }
  QoS& keep_all() {
    rmw_qos_profile_.history = RMW_QOS_POLICY_HISTORY_KEEP_ALL;
    rmw_qos_profile_.depth = 0;
    return *this;
  }
  QoS& reliability(rmw_qos_reliability_policy_t reliability) {
    rmw_qos_profile_.reliability = reliability;
    return *this;
  }
  QoS& reliable() { return reliability(RMW_QOS_POLICY_RELIABILITY_RELIABLE); }
  QoS& best_effort() { return reliability(RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT); }
  QoS& durability(rmw_qos_durability_policy_t durability) {
    rmw_qos_profile_.durability = durability;
    return *this;
  }
  QoS& durability_volatile() { return durability(RMW_QOS_POLICY_DURABILITY_VOLATILE); }
  QoS& transient_local() { return durability(RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL); }

  size_t depth() const { return rmw_qos_profile_.depth; }

private:
  rmw_qos_profile_t rmw_qos_profile_;
};

}  // namespace rclcpp

#endif  // RCLCPP__QOS_HPP_
