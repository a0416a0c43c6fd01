// One output stream of a child process, read line by line by a thread of its own.
#ifndef BOTTOM_INTERACT_TOOLS_TEST__CAPTURED_STREAM_HPP_
#define BOTTOM_INTERACT_TOOLS_TEST__CAPTURED_STREAM_HPP_

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

using namespace std::chrono_literals;

class CapturedStream {
public:
  // Takes ownership of fd, the reading end of a pipe.
  explicit CapturedStream(int fd);
  ~CapturedStream();  // waits for the end of the output: the child has exited or been killed

  std::vector<std::string> Lines() const;
  // Lines from index first on: with first taken from Size() before an action, what it wrote.
  std::vector<std::string> LinesFrom(std::size_t first) const;
  std::size_t Size() const;
  // Every line so far, each with its newline.
  std::string Text() const;
  // Captured lines containing text.
  std::size_t Count(const std::string& text) const;
  // The first line from index first on that contains text, waiting for it until the time-out.
  std::optional<std::string> WaitFor(const std::string& text, std::size_t first = 0,
                                     std::chrono::milliseconds timeout = 10s) const;
  // Waits until at least count lines contain text.
  bool WaitForCount(const std::string& text, std::size_t count,
                    std::chrono::milliseconds timeout = 10s) const;
  // Waits until there are at least count lines.
  bool WaitForSize(std::size_t count, std::chrono::milliseconds timeout = 10s) const;
  // Waits until the writing end is closed and everything has been read.
  bool WaitForEnd(std::chrono::milliseconds timeout) const;

private:
  void Read();
  void TakeLines(std::string* pending, bool at_end);
  // Lines from index first on containing text; the caller holds mutex_.
  std::size_t CountFrom(const std::string& text, std::size_t first) const;

  int fd_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::string> lines_;
  bool ended_ = false;
  std::thread reader_;
};

}  // namespace test_support

#endif  // BOTTOM_INTERACT_TOOLS_TEST__CAPTURED_STREAM_HPP_
