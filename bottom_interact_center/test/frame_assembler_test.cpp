#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bottom_interact_center/frame_assembler.hpp"

namespace {

using bottom_interact_center::FrameAssembler;
using Result = FrameAssembler::Result;

constexpr std::size_t kMaxPayload = 4094;

std::string Frame(const std::string& payload) {
  std::string frame;
  frame.push_back(static_cast<char>(payload.size() & 0xFF));
  frame.push_back(static_cast<char>(payload.size() >> 8));
  return frame + payload;
}

void Feed(FrameAssembler* assembler, const std::string& bytes) {
  assembler->Append(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// Drains every complete frame; the last result is the one that stopped the drain.
std::vector<std::string> Drain(FrameAssembler* assembler, Result* last) {
  std::vector<std::string> frames;
  std::string payload;
  while ((*last = assembler->Next(&payload)) == Result::kFrame) {
    frames.push_back(payload);
  }
  return frames;
}

TEST(FrameAssembler, EverySplitPointOfAStreamGivesTheSameFrames) {
  const std::string first(300, 'a');  // long enough for a length above 255
  const std::string stream = Frame(first) + Frame("") + Frame("bc");
  for (std::size_t split = 0; split <= stream.size(); ++split) {
    SCOPED_TRACE("split at " + std::to_string(split));
    FrameAssembler assembler(kMaxPayload);
    Result last;
    Feed(&assembler, stream.substr(0, split));
    std::vector<std::string> frames = Drain(&assembler, &last);
    EXPECT_EQ(last, Result::kNeedMore);
    Feed(&assembler, stream.substr(split));
    for (const auto& frame : Drain(&assembler, &last)) {
      frames.push_back(frame);
    }
    EXPECT_EQ(last, Result::kNeedMore);
    EXPECT_EQ(frames, (std::vector<std::string>{first, "", "bc"}));
    EXPECT_EQ(assembler.Buffered(), 0u);
  }
}

TEST(FrameAssembler, PayloadUpToTheLimitPassesAndALargerDeclaredLengthDropsEverything) {
  FrameAssembler assembler(3);
  std::string payload;
  Feed(&assembler, Frame("abc"));
  EXPECT_EQ(assembler.Next(&payload), Result::kFrame);
  EXPECT_EQ(payload, "abc");

  // Only the header is needed to tell: the declared payload never has to arrive.
  Feed(&assembler, std::string("\x04\x00", 2) + "junk" + Frame("ab"));
  EXPECT_EQ(assembler.Next(&payload), Result::kOversize);
  EXPECT_EQ(assembler.Buffered(), 0u);
  EXPECT_EQ(assembler.Next(&payload), Result::kNeedMore);

  Feed(&assembler, Frame("next"));
  EXPECT_EQ(assembler.Next(&payload), Result::kOversize);
  Feed(&assembler, Frame("ok"));
  EXPECT_EQ(assembler.Next(&payload), Result::kFrame);
  EXPECT_EQ(payload, "ok");
}

TEST(FrameAssembler, ClearDropsAPartialFrame) {
  FrameAssembler assembler(kMaxPayload);
  Feed(&assembler, Frame("lost").substr(0, 3));
  assembler.Clear();
  EXPECT_EQ(assembler.Buffered(), 0u);
  Feed(&assembler, Frame("kept"));
  std::string payload;
  EXPECT_EQ(assembler.Next(&payload), Result::kFrame);
  EXPECT_EQ(payload, "kept");
}

}  // namespace
