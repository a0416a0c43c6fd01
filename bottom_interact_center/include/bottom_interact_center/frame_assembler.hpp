#ifndef BOTTOM_INTERACT_CENTER_FRAME_ASSEMBLER_HPP_
#define BOTTOM_INTERACT_CENTER_FRAME_ASSEMBLER_HPP_

#include <cstddef>
#include <cstdint>
#include <string>

namespace bottom_interact_center {

// Cuts frames out of a byte stream that may split or coalesce them. I/O free, not thread-safe.
class FrameAssembler {
public:
  enum class Result { kFrame, kNeedMore, kOversize };

  explicit FrameAssembler(std::size_t max_payload);

  void Append(const uint8_t* data, std::size_t len);

  // kFrame: *payload holds the next frame's payload, consumed from the buffer.
  // kNeedMore: no complete frame buffered yet.
  // kOversize: the next frame declares more than max_payload bytes; everything buffered is dropped.
  Result Next(std::string* payload);

  void Clear();
  std::size_t Buffered() const;

private:
  std::size_t max_payload_;
  std::string buffer_;
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER_FRAME_ASSEMBLER_HPP_
