#include "bottom_interact_center/link_frame_reader.hpp"

#include "bottom_interact_center/board_frame.hpp"

namespace bottom_interact_center {

LinkFrameReader::LinkFrameReader() : assembler_(kReceiveBufferSize - BoardFrame::kHeaderSize) {}

LinkFrameReader::Result LinkFrameReader::Next(TcpClient& client, std::string* payload,
                                              int* read_count) {
  // A send may have reconnected since the last call.
  DropEarlierConnection(client);
  const Result buffered = TakeBuffered(payload);
  if (buffered != Result::kNeedMore) {
    return buffered;
  }
  *read_count = client.RecvData(buffer_.data(), static_cast<unsigned>(buffer_.size()));
  if (*read_count <= 0) {
    return Result::kReadFailed;
  }
  // The receive itself may have reconnected: its bytes then start a new stream.
  DropEarlierConnection(client);
  assembler_.Append(buffer_.data(), static_cast<std::size_t>(*read_count));
  return TakeBuffered(payload);
}

void LinkFrameReader::DropEarlierConnection(const TcpClient& client) {
  if (&client != client_ || client.ConnectionCount() != connection_) {
    assembler_.Clear();
    client_ = &client;
    connection_ = client.ConnectionCount();
  }
}

LinkFrameReader::Result LinkFrameReader::TakeBuffered(std::string* payload) {
  switch (assembler_.Next(payload)) {
    case FrameAssembler::Result::kFrame:
      return Result::kFrame;
    case FrameAssembler::Result::kOversize:
      return Result::kOversize;
    case FrameAssembler::Result::kNeedMore:
      break;
  }
  return Result::kNeedMore;
}

}  // namespace bottom_interact_center
