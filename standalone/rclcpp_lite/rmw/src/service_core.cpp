#include <chrono>
#include <map>
#include <memory>
#include <mutex>
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

// Fast DDS's default reliable max_blocking_time, which rmw_fastrtps waits for the match.
constexpr std::chrono::milliseconds kReplyMatchTimeout(100);

class DdsServiceCore final : public ServiceCore {
public:
  DdsServiceCore(const std::shared_ptr<Participant>& participant, const ServiceEndpoints& endpoints,
                 DataReadyCallback on_request)
      : request_writers_([this](const GUID_t& writer, bool matched) {
          if (!matched) {
            forget_request_writer(writer);
          }
        }),
        reply_readers_([this](const GUID_t& reader, bool matched) {
          if (!matched) {
            forget_reply_reader(reader);
          }
        }),
        request_listener_(request_writers_, std::move(on_request)),
        reply_listener_(reply_readers_) {
    const auto dds = DdsParticipant::of(participant);
    const bool avoid_conventions = endpoints.qos.avoid_ros_namespace_conventions;
    reply_writer_ = dds->create_writer(
        endpoints.node, reply_topic(endpoints.service_name, avoid_conventions),
        endpoints.response_type_support, make_writer_qos(endpoints.qos), &reply_listener_);
    request_reader_ = dds->create_reader(
        endpoints.node, request_topic(endpoints.service_name, avoid_conventions),
        endpoints.request_type_support, make_reader_qos(endpoints.qos), &request_listener_);
  }

  bool take_request(void* request, rmw_request_id_t& request_id) override {
    fdds::SampleInfo info;
    while (request_reader_->take_next_sample(request, &info) == ReturnCode_t::RETCODE_OK) {
      if (!info.valid_data) {
        continue;
      }
      // Clients name their reply reader as the related writer: that is where the reply goes.
      GUID_t client = info.sample_identity.writer_guid();
      const GUID_t& reply_reader = info.related_sample_identity.writer_guid();
      if (reply_reader != GUID_t::unknown()) {
        remember_client(reply_reader, client);
        client = reply_reader;
      }
      guid_to_bytes(client, request_id.writer_guid);
      request_id.sequence_number = sequence_to_int64(info.sample_identity.sequence_number());
      return true;
    }
    return false;
  }

  SendResult send_response(const rmw_request_id_t& request_id, const void* response) override {
    const GUID_t client = guid_from_bytes(request_id.writer_guid);
    if (is_reader_guid(client)) {
      if (!is_known_client(client)) {
        return SendResult::ok;  // gone since it asked: nobody to answer
      }
      // A new client's request can arrive before our reply writer has matched its reader.
      if (!reply_readers_.wait_for(client, kReplyMatchTimeout)) {
        return SendResult::timeout;
      }
    }
    eprosima::fastrtps::rtps::WriteParams params;
    params.related_sample_identity().writer_guid(client);
    params.related_sample_identity().sequence_number(
        sequence_from_int64(request_id.sequence_number));
    return reply_writer_->write(const_cast<void*>(response), params) ? SendResult::ok
                                                                     : SendResult::error;
  }

private:
  void remember_client(const GUID_t& reply_reader, const GUID_t& request_writer) {
    std::lock_guard<std::mutex> lock(clients_mutex_);
    clients_[reply_reader] = request_writer;
  }

  bool is_known_client(const GUID_t& reply_reader) const {
    std::lock_guard<std::mutex> lock(clients_mutex_);
    return clients_.count(reply_reader) > 0;
  }

  void forget_reply_reader(const GUID_t& reply_reader) {
    std::lock_guard<std::mutex> lock(clients_mutex_);
    clients_.erase(reply_reader);
  }

  void forget_request_writer(const GUID_t& request_writer) {
    std::lock_guard<std::mutex> lock(clients_mutex_);
    for (auto it = clients_.begin(); it != clients_.end();) {
      it = it->second == request_writer ? clients_.erase(it) : std::next(it);
    }
  }

  mutable std::mutex clients_mutex_;
  std::map<GUID_t, GUID_t> clients_;  // client reply reader -> its request writer
  MatchedEndpoints request_writers_;
  MatchedEndpoints reply_readers_;
  ReaderListener request_listener_;
  WriterMatchListener reply_listener_;
  DdsParticipant::WriterPtr reply_writer_;
  DdsParticipant::ReaderPtr request_reader_;
};

}  // namespace
}  // namespace middleware

std::unique_ptr<ServiceCore> ServiceCore::create(const std::shared_ptr<Participant>& participant,
                                                 const ServiceEndpoints& endpoints,
                                                 DataReadyCallback on_request) {
  return std::make_unique<middleware::DdsServiceCore>(participant, endpoints,
                                                      std::move(on_request));
}

}  // namespace rclcpp_lite
