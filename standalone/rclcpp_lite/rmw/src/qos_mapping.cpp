#include "qos_mapping.hpp"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

namespace rclcpp_lite::middleware {

namespace {

namespace fdds = eprosima::fastdds::dds;

// Fast DDS preallocates 100 samples per endpoint, over a megabyte for a node's two dozen endpoints
// that seldom hold more than two. Samples beyond these are allocated when first needed and kept.
constexpr int32_t kPreallocatedSamples = 8;

/// Sets `kind` to the DDS counterpart of `value`; a system default (0 in every rmw policy
/// enumeration) leaves Fast DDS's default.
template <typename RosPolicy, typename DdsKind>
void map_policy(RosPolicy value, std::initializer_list<std::pair<RosPolicy, DdsKind>> table,
                DdsKind& kind, const char* policy) {
  for (const auto& [ros, dds] : table) {
    if (ros == value) {
      kind = dds;
      return;
    }
  }
  if (value != RosPolicy{}) {
    throw std::invalid_argument(std::string("unknown QoS ") + policy + " policy");
  }
}

template <typename EndpointQos>
void apply_profile(const rmw_qos_profile_t& profile, EndpointQos& qos) {
  fdds::HistoryQosPolicy& history = qos.history();
  map_policy(profile.history,
             {{RMW_QOS_POLICY_HISTORY_KEEP_LAST, fdds::KEEP_LAST_HISTORY_QOS},
              {RMW_QOS_POLICY_HISTORY_KEEP_ALL, fdds::KEEP_ALL_HISTORY_QOS}},
             history.kind, "history");
  // Never shrink the history below Fast DDS's own default depth.
  if (history.kind == fdds::KEEP_LAST_HISTORY_QOS &&
      profile.depth > static_cast<size_t>(history.depth)) {
    if (profile.depth > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
      throw std::invalid_argument("QoS depth too large");
    }
    history.depth = static_cast<int32_t>(profile.depth);
  }
  map_policy(profile.reliability,
             {{RMW_QOS_POLICY_RELIABILITY_RELIABLE, fdds::RELIABLE_RELIABILITY_QOS},
              {RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT, fdds::BEST_EFFORT_RELIABILITY_QOS}},
             qos.reliability().kind, "reliability");
  map_policy(profile.durability,
             {{RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL, fdds::TRANSIENT_LOCAL_DURABILITY_QOS},
              {RMW_QOS_POLICY_DURABILITY_VOLATILE, fdds::VOLATILE_DURABILITY_QOS}},
             qos.durability().kind, "durability");
  if (profile.lifespan.sec != 0 || profile.lifespan.nsec != 0) {
    qos.lifespan().duration = eprosima::fastrtps::Duration_t(
        static_cast<int32_t>(profile.lifespan.sec), static_cast<uint32_t>(profile.lifespan.nsec));
  }
  qos.resource_limits().allocated_samples = history.kind == fdds::KEEP_LAST_HISTORY_QOS
                                                ? std::min(history.depth, kPreallocatedSamples)
                                                : kPreallocatedSamples;
  qos.endpoint().history_memory_policy =
      eprosima::fastrtps::rtps::PREALLOCATED_WITH_REALLOC_MEMORY_MODE;
  qos.data_sharing().off();
}

}  // namespace

fdds::DataWriterQos make_writer_qos(const rmw_qos_profile_t& profile) {
  fdds::DataWriterQos qos = fdds::DATAWRITER_QOS_DEFAULT;
  apply_profile(profile, qos);
  qos.publish_mode().kind = fdds::SYNCHRONOUS_PUBLISH_MODE;
  return qos;
}

fdds::DataReaderQos make_reader_qos(const rmw_qos_profile_t& profile) {
  fdds::DataReaderQos qos = fdds::DATAREADER_QOS_DEFAULT;
  apply_profile(profile, qos);
  return qos;
}

}  // namespace rclcpp_lite::middleware
