// One command link to the board, as the "bottom_operate" commands use it.
#ifndef BOTTOM_INTERACT_CENTER__BOARD_LINK_HPP_
#define BOTTOM_INTERACT_CENTER__BOARD_LINK_HPP_

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "bottom_interact_center/link_drain.hpp"
#include "bottom_interact_center/link_frame_reader.hpp"
#include "bottom_interact_center/tcp_client.hpp"

namespace bottom_interact_center {

// What belongs to one link, together: its client, the mutex every command on it holds for its
// whole run, the last request id sent on it, the reader of the board's answers and, on a link whose
// answers nobody awaits, the drain that empties it. A command takes them all from one object, so
// it cannot pair one link's lock with another link's id, reader or client.
class BoardLink {
public:
  enum class Answers { kAwaited, kDrained };

  // mutex must outlive the link. A drained link starts its drain's thread here (none for a null
  // client); name begins the drain's DEBUG lines.
  BoardLink(std::mutex& mutex, std::shared_ptr<TcpClient> client, Answers answers,
            const char* name);

  // The command's hold on the link, for its whole run. What follows needs it held.
  std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }
  // The clock in whole seconds, or one past the link's previous id when the clock has not passed
  // it: a late answer to an earlier command (a platform command's, say) then never matches.
  int32_t NewRequestId();
  const std::shared_ptr<TcpClient>& client() const { return client_; }
  LinkFrameReader& frames() { return frames_; }

private:
  std::mutex& mutex_;
  std::shared_ptr<TcpClient> client_;
  int32_t last_request_id_ = 0;
  LinkFrameReader frames_;
  // Last: its thread ends before the rest goes.
  std::optional<LinkDrain> drain_;
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__BOARD_LINK_HPP_
