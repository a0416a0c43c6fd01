// The command links' answers: the link reader hands each receive (at most its buffer's size) to a
// FrameAssembler sized like its own and takes frames out until none is whole; the exchange parses
// each as a CleaningComponentResponse. An oversize frame makes the assembler drop everything
// buffered; the stream goes on.
#include <cstddef>
#include <cstdint>
#include <string>

#include "board_round_trip.hpp"
#include "bottom_interact_center/board_frame.hpp"
#include "bottom_interact_center/frame_assembler.hpp"
#include "bottom_interact_center/link_frame_reader.hpp"
#include "chunked_input.hpp"
#include "fuzz_check.hpp"
#include "robot/cleaning_component.pb.h"

namespace {

using bottom_interact_center::BoardFrame;
using bottom_interact_center::FrameAssembler;
using bottom_interact_center::LinkFrameReader;

constexpr std::size_t kReceiveSize = LinkFrameReader::kReceiveBufferSize;
// As LinkFrameReader builds its assembler: a frame must fit one receive.
constexpr std::size_t kMaxPayload = kReceiveSize - BoardFrame::kHeaderSize;

std::size_t DeclaredLength(const std::string& bytes) {
  return BoardFrame::ReadLength(reinterpret_cast<const uint8_t*>(bytes.data()));
}

void ReadAnswer(const std::string& payload) {
  cleaning_component::CleaningComponentResponse response;
  if (response.ParseFromArray(payload.data(), static_cast<int>(payload.size()))) {
    fuzz::CheckFrameRoundTrip(response);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  fuzz::SilenceProtobufLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FrameAssembler assembler(kMaxPayload);
  fuzz::ChunkedInput input(data, size);
  std::string expected;  // what the assembler holds, by the frame format alone
  while (!input.empty()) {
    const uint8_t* chunk = nullptr;
    const std::size_t len = input.Next(kReceiveSize, &chunk);
    assembler.Append(chunk, len);
    expected.append(reinterpret_cast<const char*>(chunk), len);
    FUZZ_CHECK(assembler.Buffered() == expected.size());

    std::string payload;
    for (;;) {
      const FrameAssembler::Result result = assembler.Next(&payload);
      if (result == FrameAssembler::Result::kNeedMore) {
        FUZZ_CHECK(expected.size() < BoardFrame::kHeaderSize ||
                   expected.size() < BoardFrame::kHeaderSize + DeclaredLength(expected));
        FUZZ_CHECK(assembler.Buffered() == expected.size());
        break;
      }
      FUZZ_CHECK(expected.size() >= BoardFrame::kHeaderSize);
      const std::size_t length = DeclaredLength(expected);
      if (result == FrameAssembler::Result::kOversize) {
        FUZZ_CHECK(length > kMaxPayload);
        FUZZ_CHECK(assembler.Buffered() == 0);
        expected.clear();
        continue;  // nothing is left to frame; the next receive starts afresh
      }
      FUZZ_CHECK(result == FrameAssembler::Result::kFrame);
      FUZZ_CHECK(length <= kMaxPayload);
      FUZZ_CHECK(payload == expected.substr(BoardFrame::kHeaderSize, length));
      expected.erase(0, BoardFrame::kHeaderSize + length);
      FUZZ_CHECK(assembler.Buffered() == expected.size());
      ReadAnswer(payload);
    }
  }
  return 0;
}
