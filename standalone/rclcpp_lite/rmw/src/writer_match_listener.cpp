#include "writer_match_listener.hpp"

namespace rclcpp_lite::middleware {

void WriterMatchListener::on_publication_matched(
    eprosima::fastdds::dds::DataWriter*,
    const eprosima::fastdds::dds::PublicationMatchedStatus& info) {
  readers_.update(info.last_subscription_handle, info.current_count_change);
}

}  // namespace rclcpp_lite::middleware
