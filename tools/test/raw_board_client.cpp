#include "raw_board_client.hpp"

#include <google/protobuf/text_format.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "bottom_interact_center/board_frame.hpp"

namespace board_sim_test {

RawBoardClient::RawBoardClient(uint16_t port) {
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    close(fd_);
    fd_ = -1;
  }
}

RawBoardClient::~RawBoardClient() {
  if (fd_ >= 0) close(fd_);
}

bool RawBoardClient::Send(const std::string& bytes) {
  return send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

bool RawBoardClient::SendRequest(const std::string& text) {
  cleaning_component::CleaningComponentRequest request;
  std::vector<uint8_t> frame;
  return google::protobuf::TextFormat::ParseFromString(text, &request) &&
         bottom_interact_center::BoardFrame::Encode(request, &frame) &&
         Send(std::string(frame.begin(), frame.end()));
}

std::optional<std::string> RawBoardClient::NextFrame(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::string payload;
  while (true) {
    assembler_.Append(reinterpret_cast<const uint8_t*>(pending_.data()), pending_.size());
    pending_.clear();
    if (assembler_.Next(&payload) == bottom_interact_center::FrameAssembler::Result::kFrame) {
      return payload;
    }
    if (ReceiveOnce(deadline, &pending_) <= 0) return std::nullopt;
  }
}

std::optional<cleaning_component::CleaningComponentResponse> RawBoardClient::NextResponse(
    std::chrono::milliseconds timeout) {
  const auto payload = NextFrame(timeout);
  cleaning_component::CleaningComponentResponse response;
  if (!payload || !response.ParseFromString(*payload)) return std::nullopt;
  return response;
}

std::optional<std::string> RawBoardClient::ReadBytes(std::size_t count,
                                                     std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (pending_.size() < count) {
    if (ReceiveOnce(deadline, &pending_) <= 0) return std::nullopt;
  }
  std::string bytes = pending_.substr(0, count);
  pending_.erase(0, count);
  return bytes;
}

bool RawBoardClient::WaitForClose(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::string ignored;
  int result;
  while ((result = ReceiveOnce(deadline, &ignored)) > 0) {
  }
  return result == 0;
}

int RawBoardClient::ReceiveOnce(std::chrono::steady_clock::time_point deadline, std::string* into) {
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return -1;
    pollfd readable{fd_, POLLIN, 0};
    const int ready = poll(&readable, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return -1;
    char buffer[4096];
    const ssize_t n = recv(fd_, buffer, sizeof(buffer), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == ECONNRESET) return 0;
    if (n <= 0) return static_cast<int>(n);
    into->append(buffer, static_cast<std::size_t>(n));
    return 1;
  }
}

}  // namespace board_sim_test
