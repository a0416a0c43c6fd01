// Forwards a reader's data-available events and keeps its MatchedEndpoints up to date.
#ifndef RCLCPP_LITE__DDS__READER_LISTENER_HPP_
#define RCLCPP_LITE__DDS__READER_LISTENER_HPP_

#include <fastdds/dds/subscriber/DataReaderListener.hpp>

#include "matched_endpoints.hpp"
#include "rclcpp_lite/middleware.hpp"

namespace rclcpp_lite::middleware {

class ReaderListener : public eprosima::fastdds::dds::DataReaderListener {
public:
  ReaderListener(MatchedEndpoints& writers, DataReadyCallback on_data)
      : writers_(writers), on_data_(std::move(on_data)) {}

  void on_data_available(eprosima::fastdds::dds::DataReader* reader) override;
  void on_subscription_matched(
      eprosima::fastdds::dds::DataReader* reader,
      const eprosima::fastdds::dds::SubscriptionMatchedStatus& info) override;

private:
  MatchedEndpoints& writers_;
  DataReadyCallback on_data_;
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__READER_LISTENER_HPP_
