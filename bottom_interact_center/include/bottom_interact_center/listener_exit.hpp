// How a board listener that cannot bind its port ends the process.
#ifndef BOTTOM_INTERACT_CENTER__LISTENER_EXIT_HPP_
#define BOTTOM_INTERACT_CENTER__LISTENER_EXIT_HPP_

#include <cstdio>
#include <cstdlib>

namespace bottom_interact_center {

// Exit status -1 (255 to the parent). Called from a listener thread while the executor and the
// other listeners still run, so static destructors must not run: they would destroy objects those
// threads are using. Buffered output is flushed first.
[[noreturn]] inline void ExitListenerProcess() {
  std::fflush(nullptr);
  std::_Exit(-1);
}

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__LISTENER_EXIT_HPP_
