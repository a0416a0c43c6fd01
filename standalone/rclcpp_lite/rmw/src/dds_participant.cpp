#include "dds_participant.hpp"

#include <stdexcept>
#include <type_traits>

#include <fastdds/dds/topic/TypeSupport.hpp>

#include "dds_names.hpp"
#include "middleware_lifetime.hpp"
#include "rcutils/logging_macros.h"

#include "rclcpp_lite/message_topic_type.hpp"
#include "rclcpp_lite/participant_qos.hpp"

namespace rclcpp_lite {

std::shared_ptr<Participant> Participant::create(size_t domain_id) {
  return std::make_shared<middleware::DdsParticipant>(
      domain_id, middleware::localhost_only_from_environment());
}

namespace middleware {

namespace fdds = eprosima::fastdds::dds;
using Kind = GraphCache::EndpointKind;

namespace {
// Highest domain whose RTPS ports (7400 + 250 * domain + offsets) stay below 65536. Fast DDS
// exits the process on a larger one, so it is refused here.
constexpr size_t kMaxDomainId = 232;
// The logger name under which rmw_fastrtps reports its failures.
constexpr char kMiddlewareLogger[] = "rmw_fastrtps_shared_cpp";

void require_port_range(size_t domain_id) {
  if (domain_id > kMaxDomainId) {
    throw std::runtime_error("DDS domain id " + std::to_string(domain_id) +
                             " is beyond the RTPS port range (0 to 232)");
  }
}

}  // namespace

DdsParticipant::DdsParticipant(size_t domain_id, bool localhost_only)
    : factory_(fdds::DomainParticipantFactory::get_shared_instance()), discovery_listener_(graph_) {
  MiddlewareLifetime::Begin();
  require_port_range(domain_id);
  participant_ = factory_->create_participant(static_cast<fdds::DomainId_t>(domain_id),
                                              make_participant_qos(localhost_only),
                                              &discovery_listener_, fdds::StatusMask::none());
  if (participant_ == nullptr) {
    throw std::runtime_error("Fast DDS could not create a participant in domain " +
                             std::to_string(domain_id));
  }
  try {
    publisher_ = participant_->create_publisher(fdds::PUBLISHER_QOS_DEFAULT);
    subscriber_ = participant_->create_subscriber(fdds::SUBSCRIBER_QOS_DEFAULT);
    if (publisher_ == nullptr || subscriber_ == nullptr) {
      throw std::runtime_error("Fast DDS could not create the publisher and subscriber");
    }
    discovery_info_ = std::make_unique<DiscoveryInfo>(
        participant_, publisher_,
        acquire_topic(DiscoveryInfo::kTopic, DiscoveryInfo::type_support()));
  } catch (...) {
    participant_->delete_contained_entities();
    factory_->delete_participant(participant_);
    throw;
  }
}

DdsParticipant::~DdsParticipant() {
  participant_->set_listener(nullptr);
  participant_->delete_contained_entities();
  factory_->delete_participant(participant_);
}

std::shared_ptr<DdsParticipant> DdsParticipant::of(
    const std::shared_ptr<Participant>& participant) {
  auto dds = std::dynamic_pointer_cast<DdsParticipant>(participant);
  if (!dds) {
    throw std::invalid_argument("endpoint needs a participant made by Participant::create");
  }
  return dds;
}

size_t DdsParticipant::count_readers(const std::string& dds_topic) const {
  return graph_.count(Kind::reader, dds_topic);
}

size_t DdsParticipant::count_writers(const std::string& dds_topic) const {
  return graph_.count(Kind::writer, dds_topic);
}

uint64_t DdsParticipant::graph_generation() const {
  return graph_.generation();
}

bool DdsParticipant::wait_for_graph_change(uint64_t seen, std::chrono::nanoseconds timeout) {
  return graph_.wait_for_change(seen, timeout);
}

void DdsParticipant::wake_graph_waiters() {
  graph_.note_change();
}

NodeId DdsParticipant::add_node(const std::string& node_namespace, const std::string& node_name) {
  return discovery_info_->add_node(node_namespace, node_name);
}

void DdsParticipant::remove_node(NodeId node) {
  discovery_info_->remove_node(node);
}

size_t DdsParticipant::count_subscribers(const std::string& topic_name) const {
  return count_readers(message_topic(topic_name, false));
}

DdsParticipant::WriterPtr DdsParticipant::create_writer(
    NodeId node, const std::string& dds_topic, const rosidl_message_type_support_t* type_support,
    const fdds::DataWriterQos& qos, fdds::DataWriterListener* listener) {
  return create_endpoint<fdds::DataWriter>(node, dds_topic, type_support, qos, listener);
}

DdsParticipant::ReaderPtr DdsParticipant::create_reader(
    NodeId node, const std::string& dds_topic, const rosidl_message_type_support_t* type_support,
    const fdds::DataReaderQos& qos, fdds::DataReaderListener* listener) {
  return create_endpoint<fdds::DataReader>(node, dds_topic, type_support, qos, listener);
}

template <typename Endpoint, typename Qos, typename Listener>
DdsParticipant::EndpointPtr<Endpoint> DdsParticipant::create_endpoint(
    NodeId node, const std::string& dds_topic, const rosidl_message_type_support_t* type_support,
    const Qos& qos, Listener* listener) {
  constexpr bool is_writer = std::is_same<Endpoint, fdds::DataWriter>::value;
  constexpr Kind kind = is_writer ? Kind::writer : Kind::reader;
  fdds::Topic* topic = acquire_topic(dds_topic, type_support);
  const fdds::StatusMask mask = listener ? fdds::StatusMask::all() : fdds::StatusMask::none();
  Endpoint* endpoint = nullptr;
  if constexpr (is_writer) {
    endpoint = publisher_->create_datawriter(topic, qos, listener, mask);
  } else {
    endpoint = subscriber_->create_datareader(topic, qos, listener, mask);
  }
  if (endpoint == nullptr) {
    release_topic(topic);
    throw std::runtime_error(std::string("Fast DDS could not create a ") +
                             (is_writer ? "writer" : "reader") + " on " + dds_topic);
  }
  // Listed now rather than when Fast DDS reports it, so it counts as soon as it exists.
  graph_.add_endpoint(kind, endpoint->guid(), dds_topic);
  discovery_info_->associate(node, kind, endpoint->guid());
  return EndpointPtr<Endpoint>(
      endpoint, [self = shared_from_this(), topic, node](Endpoint* doomed) {
        if (!MiddlewareLifetime::Standing()) {
          RCUTILS_LOG_ERROR_NAMED(kMiddlewareLogger, is_writer ? "Failed to delete datawriter"
                                                               : "Failed to delete datareader");
          doomed->set_listener(nullptr);  // its listener goes with the endpoint's owner
          return;
        }
        self->discovery_info_->dissociate(node, kind, doomed->guid());
        self->graph_.remove_endpoint(kind, doomed->guid());
        if constexpr (is_writer) {
          self->publisher_->delete_datawriter(doomed);
        } else {
          self->subscriber_->delete_datareader(doomed);
        }
        self->release_topic(topic);
      });
}

std::string DdsParticipant::register_type(const rosidl_message_type_support_t* type_support) {
  fdds::TypeSupport type(new MessageTopicType(type_support));
  const std::string name = type.get_type_name();
  if (participant_->find_type(name).empty() &&
      type.register_type(participant_) != ReturnCode_t::RETCODE_OK) {
    throw std::runtime_error("Fast DDS refused to register type " + name);
  }
  return name;
}

fdds::Topic* DdsParticipant::acquire_topic(const std::string& dds_topic,
                                           const rosidl_message_type_support_t* type_support) {
  std::lock_guard<std::mutex> lock(topics_mutex_);
  const std::string type_name = register_type(type_support);
  auto known = topics_.find(dds_topic);
  if (known != topics_.end()) {
    if (known->second.topic->get_type_name() != type_name) {
      throw std::runtime_error("topic " + dds_topic + " already carries " +
                               known->second.topic->get_type_name() + ", not " + type_name);
    }
    ++known->second.users;
    return known->second.topic;
  }
  fdds::Topic* topic = participant_->create_topic(dds_topic, type_name, fdds::TOPIC_QOS_DEFAULT);
  if (topic == nullptr) {
    throw std::runtime_error("Fast DDS could not create topic " + dds_topic);
  }
  topics_.emplace(dds_topic, SharedTopic{topic, 1});
  return topic;
}

void DdsParticipant::release_topic(fdds::Topic* topic) {
  std::lock_guard<std::mutex> lock(topics_mutex_);
  auto known = topics_.find(topic->get_name());
  if (known != topics_.end() && --known->second.users == 0) {
    participant_->delete_topic(topic);
    topics_.erase(known);
  }
}

}  // namespace middleware
}  // namespace rclcpp_lite
