// A keyless Fast DDS data type for any ROS message, encoded with CdrCodec. Samples are the
// generated C++ structs themselves, so writers and readers work on the user's objects directly.
// Public for programs that drive Fast DDS directly; <rclcpp/rclcpp.hpp> never includes it.
#ifndef RCLCPP_LITE__MESSAGE_TOPIC_TYPE_HPP_
#define RCLCPP_LITE__MESSAGE_TOPIC_TYPE_HPP_

#include <fastdds/dds/topic/TopicDataType.hpp>

#include "rclcpp_lite/cdr.hpp"

namespace rclcpp_lite::middleware {

class MessageTopicType : public eprosima::fastdds::dds::TopicDataType {
public:
  explicit MessageTopicType(const rosidl_message_type_support_t* type_support);

  bool serialize(void* data, eprosima::fastrtps::rtps::SerializedPayload_t* payload) override;
  bool deserialize(eprosima::fastrtps::rtps::SerializedPayload_t* payload, void* data) override;
  std::function<uint32_t()> getSerializedSizeProvider(void* data) override;
  void* createData() override;
  void deleteData(void* data) override;
  bool getKey(void* data, eprosima::fastrtps::rtps::InstanceHandle_t* handle,
              bool force_md5) override;

private:
  CdrCodec codec_;
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__MESSAGE_TOPIC_TYPE_HPP_
