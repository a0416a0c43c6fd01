#ifndef BOARD_SIM_TEST_RAW_BOARD_CLIENT_HPP_
#define BOARD_SIM_TEST_RAW_BOARD_CLIENT_HPP_

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "bottom_interact_center/frame_assembler.hpp"
#include "robot/cleaning_component.pb.h"

namespace board_sim_test {

// A plain TCP client on 127.0.0.1 that plays the node's side of a board link, byte by byte.
class RawBoardClient {
public:
  explicit RawBoardClient(uint16_t port);
  ~RawBoardClient();
  RawBoardClient(const RawBoardClient&) = delete;
  RawBoardClient& operator=(const RawBoardClient&) = delete;

  bool connected() const { return fd_ >= 0; }
  bool Send(const std::string& bytes);
  // The request written in protobuf text format, e.g. "request_id: 7 wheel_cmd { cmd: 2 }"; false
  // when the text does not parse or the send fails.
  bool SendRequest(const std::string& text);

  // The next frame's payload; empty when the time-out passes or the board closes first.
  std::optional<std::string> NextFrame(std::chrono::milliseconds timeout);
  std::optional<cleaning_component::CleaningComponentResponse> NextResponse(
      std::chrono::milliseconds timeout);
  // Exactly count bytes as they come, bypassing the frame assembler.
  std::optional<std::string> ReadBytes(std::size_t count, std::chrono::milliseconds timeout);
  // True when the board closes the connection before the time-out.
  bool WaitForClose(std::chrono::milliseconds timeout);

private:
  // Appends what one receive delivers; 0 on close, -1 on time-out or error.
  int ReceiveOnce(std::chrono::steady_clock::time_point deadline, std::string* into);

  int fd_ = -1;
  std::string pending_;  // raw bytes not yet handed to the assembler
  bottom_interact_center::FrameAssembler assembler_{4094};
};

}  // namespace board_sim_test

#endif  // BOARD_SIM_TEST_RAW_BOARD_CLIENT_HPP_
