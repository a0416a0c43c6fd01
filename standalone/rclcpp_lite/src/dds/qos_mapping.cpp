#include "qos_mapping.hpp"

#include <limits>
#include <stdexcept>

namespace rclcpp_lite::middleware {

namespace {

namespace fdds = eprosima::fastdds::dds;
using eprosima::fastrtps::Duration_t;

constexpr rmw_time_t kInfinite = RMW_DURATION_INFINITE;

bool is_unspecified(const rmw_time_t& time) {
  return time.sec == 0 && time.nsec == 0;
}

Duration_t to_duration(const rmw_time_t& time) {
  const bool infinite = (time.sec == kInfinite.sec && time.nsec == kInfinite.nsec) ||
                        time.sec > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) ||
                        time.nsec >= 1'000'000'000ULL;
  return infinite ? eprosima::fastrtps::c_TimeInfinite
                  : Duration_t(static_cast<int32_t>(time.sec), static_cast<uint32_t>(time.nsec));
}

void apply_history(const rmw_qos_profile_t& profile, fdds::HistoryQosPolicy& history) {
  switch (profile.history) {
    case RMW_QOS_POLICY_HISTORY_KEEP_LAST:
      history.kind = fdds::KEEP_LAST_HISTORY_QOS;
      break;
    case RMW_QOS_POLICY_HISTORY_KEEP_ALL:
      history.kind = fdds::KEEP_ALL_HISTORY_QOS;
      break;
    case RMW_QOS_POLICY_HISTORY_SYSTEM_DEFAULT:
      break;
    default:
      throw std::invalid_argument("unknown QoS history policy");
  }
  // Never shrink the history below Fast DDS's own default depth.
  if (history.kind == fdds::KEEP_LAST_HISTORY_QOS &&
      profile.depth > static_cast<size_t>(history.depth)) {
    if (profile.depth > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
      throw std::invalid_argument("QoS depth too large");
    }
    history.depth = static_cast<int32_t>(profile.depth);
  }
}

void apply_reliability(const rmw_qos_profile_t& profile, fdds::ReliabilityQosPolicy& reliability) {
  switch (profile.reliability) {
    case RMW_QOS_POLICY_RELIABILITY_RELIABLE:
      reliability.kind = fdds::RELIABLE_RELIABILITY_QOS;
      break;
    case RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT:
      reliability.kind = fdds::BEST_EFFORT_RELIABILITY_QOS;
      break;
    case RMW_QOS_POLICY_RELIABILITY_SYSTEM_DEFAULT:
      break;
    default:
      throw std::invalid_argument("unknown QoS reliability policy");
  }
}

void apply_durability(const rmw_qos_profile_t& profile, fdds::DurabilityQosPolicy& durability) {
  switch (profile.durability) {
    case RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL:
      durability.kind = fdds::TRANSIENT_LOCAL_DURABILITY_QOS;
      break;
    case RMW_QOS_POLICY_DURABILITY_VOLATILE:
      durability.kind = fdds::VOLATILE_DURABILITY_QOS;
      break;
    case RMW_QOS_POLICY_DURABILITY_SYSTEM_DEFAULT:
      break;
    default:
      throw std::invalid_argument("unknown QoS durability policy");
  }
}

void apply_liveliness(const rmw_qos_profile_t& profile, fdds::LivelinessQosPolicy& liveliness) {
  switch (profile.liveliness) {
    case RMW_QOS_POLICY_LIVELINESS_AUTOMATIC:
      liveliness.kind = fdds::AUTOMATIC_LIVELINESS_QOS;
      break;
    case RMW_QOS_POLICY_LIVELINESS_MANUAL_BY_NODE:
      liveliness.kind = fdds::MANUAL_BY_PARTICIPANT_LIVELINESS_QOS;
      break;
    case RMW_QOS_POLICY_LIVELINESS_MANUAL_BY_TOPIC:
      liveliness.kind = fdds::MANUAL_BY_TOPIC_LIVELINESS_QOS;
      break;
    case RMW_QOS_POLICY_LIVELINESS_SYSTEM_DEFAULT:
      break;
    default:
      throw std::invalid_argument("unknown QoS liveliness policy");
  }
  if (!is_unspecified(profile.liveliness_lease_duration)) {
    liveliness.lease_duration = to_duration(profile.liveliness_lease_duration);
    if (liveliness.lease_duration != eprosima::fastrtps::c_TimeInfinite) {
      // Announce well inside the lease, as rmw_fastrtps does.
      const uint64_t lease_ns = profile.liveliness_lease_duration.sec * 1'000'000'000ULL +
                                profile.liveliness_lease_duration.nsec;
      const uint64_t period_ns = lease_ns / 3 * 2;
      liveliness.announcement_period =
          Duration_t(static_cast<int32_t>(period_ns / 1'000'000'000ULL),
                     static_cast<uint32_t>(period_ns % 1'000'000'000ULL));
    }
  }
}

template <typename EndpointQos>
void apply_profile(const rmw_qos_profile_t& profile, EndpointQos& qos) {
  apply_history(profile, qos.history());
  apply_reliability(profile, qos.reliability());
  apply_durability(profile, qos.durability());
  apply_liveliness(profile, qos.liveliness());
  if (!is_unspecified(profile.deadline)) {
    qos.deadline().period = to_duration(profile.deadline);
  }
  if (!is_unspecified(profile.lifespan)) {
    qos.lifespan().duration = to_duration(profile.lifespan);
  }
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
