// Keeps a writer's MatchedEndpoints up to date.
#ifndef RCLCPP_LITE__DDS__WRITER_MATCH_LISTENER_HPP_
#define RCLCPP_LITE__DDS__WRITER_MATCH_LISTENER_HPP_

#include <fastdds/dds/publisher/DataWriterListener.hpp>

#include "matched_endpoints.hpp"

namespace rclcpp_lite::middleware {

class WriterMatchListener : public eprosima::fastdds::dds::DataWriterListener {
public:
  explicit WriterMatchListener(MatchedEndpoints& readers) : readers_(readers) {}

  void on_publication_matched(
      eprosima::fastdds::dds::DataWriter* writer,
      const eprosima::fastdds::dds::PublicationMatchedStatus& info) override;

private:
  MatchedEndpoints& readers_;
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__WRITER_MATCH_LISTENER_HPP_
