// Reads CDR primitives from an untrusted payload: every read is bounds-checked, and values are
// byte-swapped when the payload's byte order differs from the host's.
#ifndef RCLCPP_LITE__DDS__CDR_READER_HPP_
#define RCLCPP_LITE__DDS__CDR_READER_HPP_

#include <cstddef>
#include <cstdint>

namespace rclcpp_lite::middleware {

class CdrReader {
public:
  /// Validates the encapsulation header (plain CDR, either byte order); ok() is false if bad.
  CdrReader(const uint8_t* data, size_t length);

  /// Each read returns false, and leaves the reader failed, when the payload ends too early.
  bool read(void* value, size_t size, size_t alignment);
  bool read_array(void* values, size_t size, size_t count, size_t alignment);
  bool read_u32(uint32_t& value) { return read(&value, 4, 4); }
  /// Borrows `length` raw bytes (no alignment, no swapping).
  bool read_bytes(const uint8_t*& bytes, size_t length);

  bool ok() const { return ok_; }
  size_t remaining() const { return length_ - position_; }

private:
  bool align(size_t alignment);
  bool consume(size_t length);

  const uint8_t* data_;
  size_t length_;
  size_t position_ = 0;
  bool swap_ = false;
  bool ok_ = true;
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__CDR_READER_HPP_
