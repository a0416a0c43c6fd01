#include <memory>
#include <string>

#include "dds_names.hpp"
#include "dds_participant.hpp"
#include "matched_endpoints.hpp"
#include "qos_mapping.hpp"
#include "rclcpp_lite/middleware.hpp"
#include "writer_match_listener.hpp"

namespace rclcpp_lite {

namespace middleware {
namespace {

class DdsPublisherCore final : public PublisherCore {
public:
  DdsPublisherCore(const std::shared_ptr<Participant>& participant, NodeId node,
                   const std::string& topic_name, const rosidl_message_type_support_t* type_support,
                   const rmw_qos_profile_t& qos)
      : listener_(subscriptions_),
        writer_(DdsParticipant::of(participant)
                    ->create_writer(node,
                                    message_topic(topic_name, qos.avoid_ros_namespace_conventions),
                                    type_support, make_writer_qos(qos), &listener_)) {}

  bool publish(const void* message) override {
    // Fast DDS takes a mutable pointer but only serializes from it.
    return writer_->write(const_cast<void*>(message));
  }

  size_t matched_subscriptions() const override { return subscriptions_.count(); }

private:
  MatchedEndpoints subscriptions_;
  WriterMatchListener listener_;
  DdsParticipant::WriterPtr writer_;  // last: goes before the listener it calls
};

}  // namespace
}  // namespace middleware

std::unique_ptr<PublisherCore> PublisherCore::create(
    const std::shared_ptr<Participant>& participant, NodeId node, const std::string& topic_name,
    const rosidl_message_type_support_t* type_support, const rmw_qos_profile_t& qos) {
  return std::make_unique<middleware::DdsPublisherCore>(participant, node, topic_name, type_support,
                                                        qos);
}

}  // namespace rclcpp_lite
