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
  writers_.update(info.last_publication_handle, info.current_count_change);
}

}  // namespace rclcpp_lite::middleware
