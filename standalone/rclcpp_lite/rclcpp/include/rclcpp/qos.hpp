// rclcpp::QoS as in rclcpp/qos.hpp (Humble): an rmw_qos_profile_t with chainable setters.
#ifndef RCLCPP__QOS_HPP_
#define RCLCPP__QOS_HPP_

#include <cstddef>

#include "rmw/qos_profiles.h"
#include "rmw/types.h"

namespace rclcpp {

/// The history part of a QoS: keep-last with a depth.
struct QoSInitialization {
  rmw_qos_history_policy_t history_policy;
  size_t depth;

  QoSInitialization(rmw_qos_history_policy_t history_policy_arg, size_t depth_arg)
      : history_policy(history_policy_arg), depth(depth_arg) {}
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

  QoS& reliable() {
    rmw_qos_profile_.reliability = RMW_QOS_POLICY_RELIABILITY_RELIABLE;
    return *this;
  }
  QoS& transient_local() {
    rmw_qos_profile_.durability = RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
    return *this;
  }

private:
  rmw_qos_profile_t rmw_qos_profile_;
};

}  // namespace rclcpp

#endif  // RCLCPP__QOS_HPP_
