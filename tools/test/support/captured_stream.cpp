#include "captured_stream.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace test_support {

CapturedStream::CapturedStream(int fd) : fd_(fd), reader_([this] { Read(); }) {}

CapturedStream::~CapturedStream() {
  reader_.join();
  close(fd_);
}

void CapturedStream::Read() {
  std::string pending;
  char buf[4096];
  ssize_t n;
  while ((n = read(fd_, buf, sizeof(buf))) != 0) {
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      break;
    }
    pending.append(buf, static_cast<std::size_t>(n));
    TakeLines(&pending, false);
  }
  TakeLines(&pending, true);
}

// Moves the complete lines of pending into lines_; at the end, an unfinished last line too.
void CapturedStream::TakeLines(std::string* pending, bool at_end) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::size_t end;
  while ((end = pending->find('\n')) != std::string::npos) {
    lines_.push_back(pending->substr(0, end));
    pending->erase(0, end + 1);
  }
  if (at_end) {
    if (!pending->empty()) {
      lines_.push_back(*pending);
    }
    ended_ = true;
  }
  changed_.notify_all();
}

std::vector<std::string> CapturedStream::Lines() const {
  return LinesFrom(0);
}

std::vector<std::string> CapturedStream::LinesFrom(std::size_t first) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::vector<std::string>(
      lines_.begin() + static_cast<std::ptrdiff_t>(std::min(first, lines_.size())), lines_.end());
}

std::size_t CapturedStream::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_.size();
}

std::string CapturedStream::Text() const {
  std::string text;
  for (const auto& line : Lines()) {
    text += line + '\n';
  }
  return text;
}

std::size_t CapturedStream::CountFrom(const std::string& text, std::size_t first) const {
  std::size_t count = 0;
  for (std::size_t i = first; i < lines_.size(); ++i) {
    count += lines_[i].find(text) != std::string::npos ? 1 : 0;
  }
  return count;
}

std::size_t CapturedStream::Count(const std::string& text) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return CountFrom(text, 0);
}

std::optional<std::string> CapturedStream::WaitFor(const std::string& text, std::size_t first,
                                                   std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  std::optional<std::string> found;
  changed_.wait_for(lock, timeout, [&] {
    for (std::size_t i = first; i < lines_.size() && !found; ++i) {
      if (lines_[i].find(text) != std::string::npos) {
        found = lines_[i];
      }
    }
    return found.has_value();
  });
  return found;
}

bool CapturedStream::WaitForCount(const std::string& text, std::size_t count,
                                  std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return CountFrom(text, 0) >= count; });
}

bool CapturedStream::WaitForSize(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return lines_.size() >= count; });
}

bool CapturedStream::WaitForEnd(std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return ended_; });
}

}  // namespace test_support
