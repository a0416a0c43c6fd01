#ifndef BOARD_SIM_LINK_HPP_
#define BOARD_SIM_LINK_HPP_

namespace board_sim {

// The board's two command links: motors, pumps, wheels, station and platform commands on the
// procter link; lights on the light link.
enum class Link { kProcter, kLight };

const char* LinkName(Link link);

}  // namespace board_sim

#endif  // BOARD_SIM_LINK_HPP_
