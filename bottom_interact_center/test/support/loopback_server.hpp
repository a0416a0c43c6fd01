// A bare TCP server on 127.0.0.1 that plays the board's side of a command link in tests.
#ifndef BOTTOM_INTERACT_CENTER_TEST__LOOPBACK_SERVER_HPP_
#define BOTTOM_INTERACT_CENTER_TEST__LOOPBACK_SERVER_HPP_

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "robot/cleaning_component.pb.h"

namespace bottom_interact_center::test {

using namespace std::chrono_literals;

class LoopbackServer {
public:
  // Listens on an ephemeral port of 127.0.0.1.
  LoopbackServer();
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  // The next connection, or -1 when none arrived in time. The server closes it on destruction.
  int Accept(std::chrono::milliseconds timeout = 5s);
  // Stops listening: later connects are refused.
  void StopListening();

  // Exactly n bytes from conn; false on time-out or end of stream.
  bool ReadExactly(int conn, std::size_t n, std::string* bytes,
                   std::chrono::milliseconds timeout = 5s);
  // One framed board request.
  bool ReadRequest(int conn, cleaning_component::CleaningComponentRequest* request,
                   std::chrono::milliseconds timeout = 5s);
  void Write(int conn, const std::string& bytes);
  // Ends conn like a board that closes the link, and returns once the peer's kernel has seen it.
  void CloseAndWaitSeen(int conn);
  // Closes conn at once; data that comes in afterwards is answered with a reset.
  void Close(int conn);

private:
  int listen_fd_ = -1;
  int port_ = 0;
  std::vector<int> connections_;
};

// The wire bytes of a message: u16 little-endian length, then the encoding.
std::string Frame(const google::protobuf::MessageLite& message);
// An answer to request_id, with the board error err_code when it is not 0.
cleaning_component::CleaningComponentResponse Answer(int32_t request_id, int32_t err_code = 0);

}  // namespace bottom_interact_center::test

#endif  // BOTTOM_INTERACT_CENTER_TEST__LOOPBACK_SERVER_HPP_
