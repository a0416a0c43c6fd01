// Appends CDR primitives to a buffer, or only counts them when it has none: one code path gives
// both the exact size and the bytes.
#ifndef RCLCPP_LITE__DDS__CDR_WRITER_HPP_
#define RCLCPP_LITE__DDS__CDR_WRITER_HPP_

#include <cstddef>
#include <cstdint>

namespace rclcpp_lite::middleware {

/// The byte order this code runs in, which the writer writes and the reader compares with.
constexpr bool kHostIsLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

class CdrWriter {
public:
  static constexpr size_t kHeaderSize = 4;

  /// Counting writer: tracks the size, stores nothing.
  CdrWriter();
  /// Writes into buffer; running past capacity marks the writer failed.
  CdrWriter(uint8_t* buffer, size_t capacity);

  /// The encapsulation header for the host's byte order.
  void write_header();
  /// Zero padding up to a multiple of alignment, counted from the end of the header.
  void align(size_t alignment);
  /// One value of `size` bytes in host order, aligned to `alignment`.
  void write(const void* value, size_t size, size_t alignment);
  /// `count` contiguous values of `size` bytes each.
  void write_array(const void* values, size_t size, size_t count, size_t alignment);
  void write_u8(uint8_t value) { write(&value, 1, 1); }
  void write_u32(uint32_t value) { write(&value, 4, 4); }

  /// Marks the output unusable, e.g. a bound is exceeded.
  void fail() { ok_ = false; }
  bool ok() const { return ok_; }
  /// Bytes written (or counted) so far, header included.
  size_t size() const { return position_; }

private:
  void append(const void* bytes, size_t length);

  uint8_t* buffer_;
  size_t capacity_;
  size_t position_ = 0;
  bool ok_ = true;
};

}  // namespace rclcpp_lite::middleware

#endif  // RCLCPP_LITE__DDS__CDR_WRITER_HPP_
