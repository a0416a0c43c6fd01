#ifndef BOARD_SIM_REPLY_PLAN_HPP_
#define BOARD_SIM_REPLY_PLAN_HPP_

#include <string>
#include <vector>

namespace board_sim {

// What the simulated board does after one request: the byte chunks it writes, each with its own
// write call, and whether it then drops the connection and stops listening.
struct ReplyPlan {
  std::vector<std::string> writes;
  bool pause_between_writes = false;
  bool close_connection = false;
  bool stop_listening = false;
};

}  // namespace board_sim

#endif  // BOARD_SIM_REPLY_PLAN_HPP_
