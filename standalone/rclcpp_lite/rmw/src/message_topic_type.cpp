#include "rclcpp_lite/message_topic_type.hpp"

#include <limits>
#include <new>

namespace rclcpp_lite::middleware {

namespace {
// Room for typical strings and sequences before the payload pool has to grow a buffer.
constexpr uint32_t kInitialPayloadHeadroom = 256;
}  // namespace

MessageTopicType::MessageTopicType(const rosidl_message_type_support_t* type_support)
    : codec_(type_support) {
  setName(codec_.dds_type_name().c_str());
  m_isGetKeyDefined = false;
  // Matching goes by topic and type name only, as with rmw_fastrtps_cpp in Humble.
  auto_fill_type_object(false);
  auto_fill_type_information(false);
  void* sample = createData();
  m_typeSize = static_cast<uint32_t>(codec_.serialized_size(sample)) + kInitialPayloadHeadroom;
  deleteData(sample);
}

bool MessageTopicType::serialize(void* data,
                                 eprosima::fastrtps::rtps::SerializedPayload_t* payload) {
  const size_t written = codec_.serialize(data, payload->data, payload->max_size);
  if (written == 0) {
    return false;
  }
  payload->length = static_cast<uint32_t>(written);
  payload->encapsulation = payload->data[1] != 0 ? CDR_LE : CDR_BE;
  return true;
}

bool MessageTopicType::deserialize(eprosima::fastrtps::rtps::SerializedPayload_t* payload,
                                   void* data) {
  return codec_.deserialize(payload->data, payload->length, data);
}

std::function<uint32_t()> MessageTopicType::getSerializedSizeProvider(void* data) {
  return [this, data]() {
    const size_t size = codec_.serialized_size(data);
    return size > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                       : static_cast<uint32_t>(size);
  };
}

void* MessageTopicType::createData() {
  const auto& members = codec_.members();
  void* sample = ::operator new(members.size_of_);
  try {
    members.init_function(sample, rosidl_runtime_cpp::MessageInitialization::ALL);
  } catch (...) {
    ::operator delete(sample);
    throw;
  }
  return sample;
}

void MessageTopicType::deleteData(void* data) {
  codec_.members().fini_function(data);
  ::operator delete(data);
}

bool MessageTopicType::getKey(void*, eprosima::fastrtps::rtps::InstanceHandle_t*, bool) {
  return false;
}

}  // namespace rclcpp_lite::middleware
