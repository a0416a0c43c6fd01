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

TEST(FrameAssemblerSplit, EverySplitPointOfTwoFrames) {
  const std::string first(300, 'a');  // long enough for a length above 255
  const std::string second = "bc";
  const std::string stream = Frame(first) + Frame(second);
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
    EXPECT_EQ(frames, (std::vector<std::string>{first, second}));
    EXPECT_EQ(assembler.Buffered(), 0u);
  }
}

TEST(FrameAssemblerSplit, ByteByByte) {
  const std::string stream = Frame("xyz") + Frame("");
  FrameAssembler assembler(kMaxPayload);
  std::vector<std::string> frames;
  Result last;
  for (char byte : stream) {
    Feed(&assembler, std::string(1, byte));
    for (const auto& frame : Drain(&assembler, &last)) {
      frames.push_back(frame);
    }
  }
  EXPECT_EQ(frames, (std::vector<std::string>{"xyz", ""}));
}

TEST(FrameAssemblerSplit, PartialHeaderStaysBuffered) {
  FrameAssembler assembler(kMaxPayload);
  Feed(&assembler, std::string(1, '\x05'));
  std::string payload;
  EXPECT_EQ(assembler.Next(&payload), Result::kNeedMore);
  EXPECT_EQ(assembler.Buffered(), 1u);
}

TEST(FrameAssemblerCoalesce, SeveralFramesInOneAppend) {
  FrameAssembler assembler(kMaxPayload);
  Feed(&assembler, Frame("one") + Frame("") + Frame("three") + Frame("fo"));
  Result last;
  EXPECT_EQ(Drain(&assembler, &last), (std::vector<std::string>{"one", "", "three", "fo"}));
  EXPECT_EQ(last, Result::kNeedMore);
  EXPECT_EQ(assembler.Buffered(), 0u);
}

TEST(FrameAssemblerCoalesce, TrailingPartialFrameIsKept) {
  FrameAssembler assembler(kMaxPayload);
  const std::string partial = Frame("second").substr(0, 4);
  Feed(&assembler, Frame("first") + partial);
  Result last;
  EXPECT_EQ(Drain(&assembler, &last), (std::vector<std::string>{"first"}));
  EXPECT_EQ(assembler.Buffered(), partial.size());
}

TEST(FrameAssemblerZeroLength, EmptyPayloadIsAFrame) {
  FrameAssembler assembler(kMaxPayload);
  Feed(&assembler, Frame(""));
  std::string payload = "stale";
  EXPECT_EQ(assembler.Next(&payload), Result::kFrame);
  EXPECT_EQ(payload, "");
  EXPECT_EQ(assembler.Buffered(), 0u);
}

TEST(FrameAssemblerOversize, LargestAllowedPayloadPasses) {
  FrameAssembler assembler(kMaxPayload);
  const std::string largest(kMaxPayload, 'p');
  Feed(&assembler, Frame(largest));
  std::string payload;
  EXPECT_EQ(assembler.Next(&payload), Result::kFrame);
  EXPECT_EQ(payload, largest);
}

TEST(FrameAssemblerOversize, DeclaredLengthAboveLimitDropsEverything) {
  FrameAssembler assembler(kMaxPayload);
  // Only the header is needed to tell: the declared payload never has to arrive.
  Feed(&assembler, std::string("\xFF\x0F", 2) + "junk" + Frame("after"));
  std::string payload;
  EXPECT_EQ(assembler.Next(&payload), Result::kOversize);
  EXPECT_EQ(assembler.Buffered(), 0u);
  EXPECT_EQ(assembler.Next(&payload), Result::kNeedMore);

  Feed(&assembler, Frame("next"));
  EXPECT_EQ(assembler.Next(&payload), Result::kFrame);
  EXPECT_EQ(payload, "next");
}

TEST(FrameAssemblerOversize, LimitIsTheConstructorArgument) {
  FrameAssembler assembler(3);
  Feed(&assembler, Frame("abcd"));
  std::string payload;
  EXPECT_EQ(assembler.Next(&payload), Result::kOversize);
}

TEST(FrameAssemblerClear, DropsAPartialFrame) {
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
