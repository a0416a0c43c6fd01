// Waiting for a state that nothing signals: poll it, finely, until a deadline.
#ifndef TEST_SUPPORT__POLL_UNTIL_HPP_
#define TEST_SUPPORT__POLL_UNTIL_HPP_

#include <chrono>
#include <functional>

/// True as soon as `condition` holds, false if it still does not when the timeout has passed.
bool poll_until(std::chrono::milliseconds timeout, const std::function<bool()>& condition);

#endif  // TEST_SUPPORT__POLL_UNTIL_HPP_
