#include "writer_match_listener.hpp"

namespace rclcpp_lite::middleware {

void WriterMatchListener::on_publication_matched(
    eprosima::fastdds::dds::DataWriter*,
    const eprosima::fastdds::dds::PublicationMatchedStatus& info) {
  const auto reader = eprosima::fastrtps::rtps::iHandle2GUID(info.last_subscription_handle);
  if (info.current_count_change > 0) {
    readers_.add(reader);
  } else if (info.current_count_change < 0) {
    readers_.remove(reader);
  }
}

}  // namespace rclcpp_lite::middleware
