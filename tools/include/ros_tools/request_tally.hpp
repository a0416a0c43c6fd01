#ifndef ROS_TOOLS_REQUEST_TALLY_HPP_
#define ROS_TOOLS_REQUEST_TALLY_HPP_

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace ros_tools {

// What a stand-in prints about the requests it serves, from any number of executor threads:
// one line per request, or (count_only) only "received N", the count so far, once a second.
class RequestTally {
public:
  explicit RequestTally(bool count_only);
  ~RequestTally();
  RequestTally(const RequestTally&) = delete;
  RequestTally& operator=(const RequestTally&) = delete;

  // describe is called only when the line is printed: decoding costs nothing when counting.
  void Record(const std::function<std::string()>& describe);

private:
  void PrintCountsEverySecond();

  const bool count_only_;
  std::mutex mutex_;
  std::condition_variable stopping_;
  bool stop_ = false;
  uint64_t received_ = 0;
  std::thread counter_;
};

}  // namespace ros_tools

#endif  // ROS_TOOLS_REQUEST_TALLY_HPP_
