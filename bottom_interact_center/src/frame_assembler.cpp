#include "bottom_interact_center/frame_assembler.hpp"

#include "bottom_interact_center/board_frame.hpp"

namespace bottom_interact_center {

FrameAssembler::FrameAssembler(std::size_t max_payload) : max_payload_(max_payload) {}

void FrameAssembler::Append(const uint8_t* data, std::size_t len) {
  buffer_.append(reinterpret_cast<const char*>(data), len);
}

FrameAssembler::Result FrameAssembler::Next(std::string* payload) {
  if (buffer_.size() < BoardFrame::kHeaderSize) {
    return Result::kNeedMore;
  }
  const std::size_t length =
      BoardFrame::ReadLength(reinterpret_cast<const uint8_t*>(buffer_.data()));
  if (length > max_payload_) {
    // Nothing after a bad length can be trusted to start on a frame boundary.
    buffer_.clear();
    return Result::kOversize;
  }
  if (buffer_.size() < BoardFrame::kHeaderSize + length) {
    return Result::kNeedMore;
  }
  payload->assign(buffer_, BoardFrame::kHeaderSize, length);
  buffer_.erase(0, BoardFrame::kHeaderSize + length);
  return Result::kFrame;
}

void FrameAssembler::Clear() {
  buffer_.clear();
}

std::size_t FrameAssembler::Buffered() const {
  return buffer_.size();
}

}  // namespace bottom_interact_center
