// Frames read from one board command link.
#ifndef BOTTOM_INTERACT_CENTER__LINK_FRAME_READER_HPP_
#define BOTTOM_INTERACT_CENTER__LINK_FRAME_READER_HPP_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "bottom_interact_center/frame_assembler.hpp"
#include "bottom_interact_center/tcp_client.hpp"

namespace bottom_interact_center {

// TCP may split an answer over several reads or deliver several in one, so the link's bytes go
// through an assembler. The reader lives as long as the link: a late answer split across two
// exchanges is still framed right. Bytes of an earlier connection are dropped once the client has
// reconnected. Not thread safe: used under the link's lock.
class LinkFrameReader {
public:
  // One receive takes at most this many bytes, so a frame's payload can be at most 4094 bytes.
  static constexpr std::size_t kReceiveBufferSize = 4096;

  enum class Result {
    kFrame,       // *payload holds the next frame's payload
    kNeedMore,    // the receive gave bytes, but no frame is complete yet
    kReadFailed,  // the receive gave nothing: *read_count holds its result (0 or less)
    kOversize,    // the next frame declares more than fits the receive buffer; buffer dropped
  };

  LinkFrameReader();

  // The next frame on the link: one already buffered, else whatever one receive completes.
  Result Next(TcpClient& client, std::string* payload, int* read_count);

private:
  void DropEarlierConnection(const TcpClient& client);
  Result TakeBuffered(std::string* payload);

  FrameAssembler assembler_;
  // The stream the buffered bytes came from: the client and its connection.
  const TcpClient* client_ = nullptr;
  uint64_t connection_ = 0;
  std::array<uint8_t, kReceiveBufferSize> buffer_{};
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__LINK_FRAME_READER_HPP_
