#include "board_sim/link.hpp"

namespace board_sim {

const char* LinkName(Link link) {
  return link == Link::kProcter ? "procter" : "light";
}

}  // namespace board_sim
