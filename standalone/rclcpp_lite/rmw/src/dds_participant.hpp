// The Fast DDS participant behind rclcpp_lite::Participant. Endpoint cores create their readers
// and writers through it, so types and topics are shared and local endpoints enter the graph and
// the announced graph information of their node.
#ifndef RCLCPP_LITE__DDS__DDS_PARTICIPANT_HPP_
#define RCLCPP_LITE__DDS__DDS_PARTICIPANT_HPP_

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include <fastdds/dds/domain/DomainParticipant.hpp>
#include <fastdds/dds/domain/DomainParticipantFactory.hpp>
#include <fastdds/dds/publisher/DataWriter.hpp>
#include <fastdds/dds/publisher/Publisher.hpp>
#include <fastdds/dds/subscriber/DataReader.hpp>
#include <fastdds/dds/subscriber/Subscriber.hpp>
#include <fastdds/dds/topic/Topic.hpp>

#include "discovery_info.hpp"
#include "discovery_listener.hpp"
#include "graph_cache.hpp"
#include "rclcpp_lite/middleware.hpp"

namespace rclcpp_lite::middleware {

class DdsParticipant : public Participant, public std::enable_shared_from_this<DdsParticipant> {
public:
  template <typename Endpoint>
  using EndpointPtr = std::unique_ptr<Endpoint, std::function<void(Endpoint*)>>;
  using WriterPtr = EndpointPtr<eprosima::fastdds::dds::DataWriter>;
  using ReaderPtr = EndpointPtr<eprosima::fastdds::dds::DataReader>;

  /// Throws std::runtime_error if Fast DDS refuses to create the participant.
  DdsParticipant(size_t domain_id, bool localhost_only);
  ~DdsParticipant() override;

  /// The DDS participant behind a Participant handed to a core factory.
  static std::shared_ptr<DdsParticipant> of(const std::shared_ptr<Participant>& participant);

  size_t count_readers(const std::string& dds_topic) const override;
  size_t count_writers(const std::string& dds_topic) const override;
  uint64_t graph_generation() const override;
  bool wait_for_graph_change(uint64_t seen, std::chrono::nanoseconds timeout) override;
  void wake_graph_waiters() override;
  NodeId add_node(const std::string& node_namespace, const std::string& node_name) override;
  void remove_node(NodeId node) override;
  size_t count_subscribers(const std::string& topic_name) const override;

  /// Endpoint of `node` on dds_topic carrying the type support's messages. Throws
  /// std::runtime_error on failure. The listener must outlive the endpoint; deleting the endpoint
  /// releases its topic and takes it off the node's list.
  WriterPtr create_writer(NodeId node, const std::string& dds_topic,
                          const rosidl_message_type_support_t* type_support,
                          const eprosima::fastdds::dds::DataWriterQos& qos,
                          eprosima::fastdds::dds::DataWriterListener* listener);
  ReaderPtr create_reader(NodeId node, const std::string& dds_topic,
                          const rosidl_message_type_support_t* type_support,
                          const eprosima::fastdds::dds::DataReaderQos& qos,
                          eprosima::fastdds::dds::DataReaderListener* listener);

private:
  struct SharedTopic {
    eprosima::fastdds::dds::Topic* topic;
    size_t users;
  };

  template <typename Endpoint, typename Qos, typename Listener>
  EndpointPtr<Endpoint> create_endpoint(NodeId node, const std::string& dds_topic,
                                        const rosidl_message_type_support_t* type_support,
                                        const Qos& qos, Listener* listener);
  std::string register_type(const rosidl_message_type_support_t* type_support);
  eprosima::fastdds::dds::Topic* acquire_topic(const std::string& dds_topic,
                                               const rosidl_message_type_support_t* type_support);
  void release_topic(eprosima::fastdds::dds::Topic* topic);

  std::shared_ptr<eprosima::fastdds::dds::DomainParticipantFactory> factory_;
  GraphCache graph_;
  DiscoveryListener discovery_listener_;
  eprosima::fastdds::dds::DomainParticipant* participant_ = nullptr;
  eprosima::fastdds::dds::Publisher* publisher_ = nullptr;
  eprosima::fastdds::dds::Subscriber* subscriber_ = nullptr;
  std::mutex topics_mutex_;
  std::map<std::string, SharedTopic> topics_;
  std::unique_ptr<DiscoveryInfo> discovery_info_;
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__DDS_PARTICIPANT_HPP_
