// A fuzz input read as a byte stream that arrives in pieces, the way a socket or a tty read hands
// it over. The first bytes choose the read sizes:
//   byte 0             n = 1 + byte % 8 read sizes
//   bytes 1 .. 2n      the sizes, u16 little endian, used in turn; 0 reads as much as fits
//   the rest           the stream
#ifndef FUZZ__CHUNKED_INPUT_HPP_
#define FUZZ__CHUNKED_INPUT_HPP_

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace fuzz {

class ChunkedInput {
public:
  static constexpr std::size_t kMaxSizes = 8;

  ChunkedInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
      return;
    }
    count_ = 1 + data[0] % kMaxSizes;
    std::size_t at = 1;
    for (std::size_t i = 0; i < count_; ++i, at += 2) {
      sizes_[i] = at + 1 < size ? static_cast<uint16_t>(data[at] | (data[at + 1] << 8)) : 0;
    }
    at = std::min(at, size);
    stream_ = data + at;
    left_ = size - at;
  }

  bool empty() const { return left_ == 0; }

  // The next read of at most `limit` bytes (limit > 0): its length, or 0 once the stream ended.
  std::size_t Next(std::size_t limit, const uint8_t** chunk) {
    const uint16_t wanted = sizes_[next_];
    next_ = (next_ + 1) % count_;
    std::size_t len = wanted == 0 ? limit : std::min<std::size_t>(wanted, limit);
    len = std::min(len, left_);
    *chunk = stream_;
    stream_ += len;
    left_ -= len;
    return len;
  }

private:
  uint16_t sizes_[kMaxSizes] = {};
  std::size_t count_ = 1;
  std::size_t next_ = 0;
  const uint8_t* stream_ = nullptr;
  std::size_t left_ = 0;
};

}  // namespace fuzz

#endif  // FUZZ__CHUNKED_INPUT_HPP_
