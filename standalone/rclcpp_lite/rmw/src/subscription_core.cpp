#include <memory>
#include <string>

#include <fastdds/dds/subscriber/SampleInfo.hpp>

#include "dds_names.hpp"
#include "dds_participant.hpp"
#include "matched_endpoints.hpp"
#include "qos_mapping.hpp"
#include "rclcpp_lite/middleware.hpp"
#include "reader_listener.hpp"

namespace rclcpp_lite {

namespace middleware {
namespace {

namespace fdds = eprosima::fastdds::dds;

class DdsSubscriptionCore final : public SubscriptionCore {
public:
  DdsSubscriptionCore(const std::shared_ptr<Participant>& participant, NodeId node,
                      const std::string& topic_name,
                      const rosidl_message_type_support_t* type_support,
                      const rmw_qos_profile_t& qos, DataReadyCallback on_data)
      : listener_(publishers_, std::move(on_data)),
        reader_(DdsParticipant::of(participant)
                    ->create_reader(node,
                                    message_topic(topic_name, qos.avoid_ros_namespace_conventions),
                                    type_support, make_reader_qos(qos), &listener_)) {}

  bool take(void* message) override {
    fdds::SampleInfo info;
    // The reader deserializes straight into the caller's message.
    while (reader_->take_next_sample(message, &info) == ReturnCode_t::RETCODE_OK) {
      if (info.valid_data) {
        return true;
      }
    }
    return false;
  }

  size_t matched_publishers() const override { return publishers_.count(); }

private:
  MatchedEndpoints publishers_;
  ReaderListener listener_;
  DdsParticipant::ReaderPtr reader_;
};

}  // namespace
}  // namespace middleware

std::unique_ptr<SubscriptionCore> SubscriptionCore::create(
    const std::shared_ptr<Participant>& participant, NodeId node, const std::string& topic_name,
    const rosidl_message_type_support_t* type_support, const rmw_qos_profile_t& qos,
    DataReadyCallback on_data) {
  return std::make_unique<middleware::DdsSubscriptionCore>(participant, node, topic_name,
                                                           type_support, qos, std::move(on_data));
}

}  // namespace rclcpp_lite
