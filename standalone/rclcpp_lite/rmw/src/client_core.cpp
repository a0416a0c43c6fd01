#include <memory>
#include <string>

#include <fastdds/rtps/common/WriteParams.h>
#include <fastdds/dds/subscriber/SampleInfo.hpp>

#include "dds_names.hpp"
#include "dds_participant.hpp"
#include "matched_endpoints.hpp"
#include "qos_mapping.hpp"
#include "rclcpp_lite/middleware.hpp"
#include "reader_listener.hpp"
#include "request_id_conversion.hpp"
#include "writer_match_listener.hpp"

namespace rclcpp_lite {

namespace middleware {
namespace {

namespace fdds = eprosima::fastdds::dds;
using eprosima::fastrtps::rtps::GUID_t;

class DdsClientCore final : public ClientCore {
public:
  DdsClientCore(const std::shared_ptr<Participant>& participant, const ServiceEndpoints& endpoints,
                DataReadyCallback on_response)
      : participant_(DdsParticipant::of(participant)),
        request_topic_(
            request_topic(endpoints.service_name, endpoints.qos.avoid_ros_namespace_conventions)),
        reply_topic_(
            reply_topic(endpoints.service_name, endpoints.qos.avoid_ros_namespace_conventions)),
        reply_writers_(wake_graph_waiters()),
        request_readers_(wake_graph_waiters()),
        reply_listener_(reply_writers_, std::move(on_response)),
        request_listener_(request_readers_) {
    // The reply reader exists before any request can name it.
    reply_reader_ =
        participant_->create_reader(endpoints.node, reply_topic_, endpoints.response_type_support,
                                    make_reader_qos(endpoints.qos), &reply_listener_);
    request_writer_ =
        participant_->create_writer(endpoints.node, request_topic_, endpoints.request_type_support,
                                    make_writer_qos(endpoints.qos), &request_listener_);
  }

  bool send_request(const void* request, int64_t& sequence_number) override {
    eprosima::fastrtps::rtps::WriteParams params;
    params.related_sample_identity().writer_guid(reply_reader_->guid());
    if (!request_writer_->write(const_cast<void*>(request), params)) {
      return false;
    }
    sequence_number = sequence_to_int64(params.sample_identity().sequence_number());
    return true;
  }

  bool take_response(void* response, rmw_request_id_t& request_id) override {
    fdds::SampleInfo info;
    while (reply_reader_->take_next_sample(response, &info) == ReturnCode_t::RETCODE_OK) {
      const GUID_t& addressee = info.related_sample_identity.writer_guid();
      // Every client of the service shares the reply topic; keep only our own replies.
      if (info.valid_data &&
          (addressee == reply_reader_->guid() || addressee == request_writer_->guid())) {
        guid_to_bytes(addressee, request_id.writer_guid);
        request_id.sequence_number =
            sequence_to_int64(info.related_sample_identity.sequence_number());
        return true;
      }
    }
    return false;
  }

  bool service_is_available() const override {
    const size_t request_readers = participant_->count_readers(request_topic_);
    const size_t reply_writers = participant_->count_writers(reply_topic_);
    if (request_readers == 0 || request_readers != reply_writers) {
      return false;
    }
    const size_t matched_readers = request_readers_.count();
    return matched_readers > 0 && matched_readers == reply_writers_.count();
  }

private:
  /// Availability also depends on matches, which move no graph count: wake graph waiters so a
  /// wait for the service ends as soon as it holds.
  MatchedEndpoints::ChangeCallback wake_graph_waiters() {
    return [participant = participant_.get()](const GUID_t&, bool) {
      participant->wake_graph_waiters();
    };
  }

  std::shared_ptr<DdsParticipant> participant_;
  std::string request_topic_;
  std::string reply_topic_;
  MatchedEndpoints reply_writers_;
  MatchedEndpoints request_readers_;
  ReaderListener reply_listener_;
  WriterMatchListener request_listener_;
  DdsParticipant::ReaderPtr reply_reader_;
  DdsParticipant::WriterPtr request_writer_;
};

}  // namespace
}  // namespace middleware

std::unique_ptr<ClientCore> ClientCore::create(const std::shared_ptr<Participant>& participant,
                                               const ServiceEndpoints& endpoints,
                                               DataReadyCallback on_response) {
  return std::make_unique<middleware::DdsClientCore>(participant, endpoints,
                                                     std::move(on_response));
}

}  // namespace rclcpp_lite
