// A board port that takes no connections: a board still booting, or one behind a cable that is
// out, whose connection requests go unanswered.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__UNANSWERED_PORT_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__UNANSWERED_PORT_HPP_

#include <cstdint>
#include <string>
#include <vector>

namespace node_test {

// Listens on address:port with an accept queue that it fills itself and never accepts from: the
// kernel then drops every further connection request, so a connect to the port hangs until the
// connecting side gives up.
class UnansweredPort {
public:
  // Throws std::runtime_error when the port cannot be taken or does not end up unanswered.
  UnansweredPort(const std::string& address, uint16_t port);
  ~UnansweredPort();
  UnansweredPort(const UnansweredPort&) = delete;
  UnansweredPort& operator=(const UnansweredPort&) = delete;

private:
  // A connect that has not completed within a moment: the port drops requests.
  bool ConnectHangs() const;
  void Release();

  std::string address_;
  uint16_t port_;
  int listener_ = -1;
  std::vector<int> queued_;  // the connections that fill the accept queue
};

}  // namespace node_test

#endif  // BOTTOM_INTERACT_TOOLS_TEST__UNANSWERED_PORT_HPP_
