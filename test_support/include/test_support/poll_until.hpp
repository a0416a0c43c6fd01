// Waiting for a state that nothing signals: poll it, finely, until a deadline.
#ifndef TEST_SUPPORT__POLL_UNTIL_HPP_
#define TEST_SUPPORT__POLL_UNTIL_HPP_

#include <chrono>
#include <functional>

namespace test_support {

// True as soon as condition holds, false if it still does not once timeout has passed.
bool PollUntil(std::chrono::milliseconds timeout, const std::function<bool()>& condition);

}  // namespace test_support

#endif  // TEST_SUPPORT__POLL_UNTIL_HPP_
