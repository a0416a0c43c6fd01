#include "cdr_reader.hpp"

#include <algorithm>
#include <cstring>

#include "cdr_writer.hpp"

namespace rclcpp_lite::middleware {

namespace {

constexpr uint8_t kBigEndianCdr = 0x00;
constexpr uint8_t kLittleEndianCdr = 0x01;

void reverse_each(uint8_t* values, size_t size, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    std::reverse(values + i * size, values + (i + 1) * size);
  }
}

}  // namespace

CdrReader::CdrReader(const uint8_t* data, size_t length) : data_(data), length_(length) {
  constexpr size_t header_size = CdrWriter::kHeaderSize;
  if (data == nullptr || length < header_size || data[0] != 0x00 ||
      (data[1] != kBigEndianCdr && data[1] != kLittleEndianCdr)) {
    ok_ = false;
    return;
  }
  swap_ = (data[1] == kLittleEndianCdr) != kHostIsLittleEndian;
  position_ = header_size;
}

bool CdrReader::read(void* value, size_t size, size_t alignment) {
  return read_array(value, size, 1, alignment);
}

bool CdrReader::read_array(void* values, size_t size, size_t count, size_t alignment) {
  if (!ok_ || !align(alignment) || (size != 0 && count > remaining() / size)) {
    ok_ = false;
    return false;
  }
  if (size * count == 0) {
    return true;
  }
  std::memcpy(values, data_ + position_, size * count);
  position_ += size * count;
  if (swap_ && size > 1) {
    reverse_each(static_cast<uint8_t*>(values), size, count);
  }
  return true;
}

bool CdrReader::read_bytes(const uint8_t*& bytes, size_t length) {
  bytes = data_ + position_;
  return consume(length);
}

bool CdrReader::align(size_t alignment) {
  const size_t offset = (position_ - CdrWriter::kHeaderSize) % alignment;
  return offset == 0 || consume(alignment - offset);
}

bool CdrReader::consume(size_t length) {
  if (!ok_ || length > remaining()) {
    ok_ = false;
    return false;
  }
  position_ += length;
  return true;
}

}  // namespace rclcpp_lite::middleware
