#include "reader_listener.hpp"

namespace rclcpp_lite::middleware {

void ReaderListener::on_data_available(eprosima::fastdds::dds::DataReader*) {
  if (on_data_) {
    on_data_();
  }
}

void ReaderListener::on_subscription_matched(
    eprosima::fastdds::dds::DataReader*,
    const eprosima::fastdds::dds::SubscriptionMatchedStatus& info) {
  const auto writer = eprosima::fastrtps::rtps::iHandle2GUID(info.last_publication_handle);
  if (info.current_count_change > 0) {
    writers_.add(writer);
  } else if (info.current_count_change < 0) {
    writers_.remove(writer);
  }
}

}  // namespace rclcpp_lite::middleware
