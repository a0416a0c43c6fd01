#include "cdr_writer.hpp"

#include <cstring>

namespace rclcpp_lite::middleware {

namespace {
constexpr uint8_t kZeros[8] = {};
}

CdrWriter::CdrWriter() : buffer_(nullptr), capacity_(0) {}

CdrWriter::CdrWriter(uint8_t* buffer, size_t capacity) : buffer_(buffer), capacity_(capacity) {}

void CdrWriter::write_header() {
  const uint8_t header[kHeaderSize] = {0x00, kHostIsLittleEndian ? 1 : 0, 0x00, 0x00};
  append(header, kHeaderSize);
}

void CdrWriter::align(size_t alignment) {
  const size_t offset = (position_ - kHeaderSize) % alignment;
  if (offset != 0) {
    append(kZeros, alignment - offset);
  }
}

void CdrWriter::write(const void* value, size_t size, size_t alignment) {
  align(alignment);
  append(value, size);
}

void CdrWriter::write_array(const void* values, size_t size, size_t count, size_t alignment) {
  align(alignment);
  append(values, size * count);
}

void CdrWriter::append(const void* bytes, size_t length) {
  if (buffer_ != nullptr) {
    if (length > capacity_ - position_) {
      ok_ = false;
      return;
    }
    std::memcpy(buffer_ + position_, bytes, length);
  }
  position_ += length;
}

}  // namespace rclcpp_lite::middleware
