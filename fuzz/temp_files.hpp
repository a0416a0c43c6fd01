// Files for parsers that take a path. Each is an anonymous in-memory file of this process
// (memfd), opened by its /proc/self/fd path: nothing reaches a disk, and nothing outlives the
// process.
#ifndef FUZZ__TEMP_FILES_HPP_
#define FUZZ__TEMP_FILES_HPP_

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

class TempFiles {
public:
  // Replaces the content of file number `index` and returns its path.
  static std::string Write(std::size_t index, const std::string& content) {
    static std::vector<int> fds;
    while (fds.size() <= index) {
      const int fd = ::memfd_create("fuzz-input", MFD_CLOEXEC);
      if (fd < 0) {
        Fail("memfd_create");
      }
      fds.push_back(fd);
    }
    const int fd = fds[index];
    if (::ftruncate(fd, 0) != 0) {
      Fail("ftruncate");
    }
    std::size_t written = 0;
    while (written < content.size()) {
      const ssize_t n = ::pwrite(fd, content.data() + written, content.size() - written,
                                 static_cast<off_t>(written));
      if (n <= 0) {
        Fail("pwrite");
      }
      written += static_cast<std::size_t>(n);
    }
    return "/proc/self/fd/" + std::to_string(fd);
  }

private:
  // Not a finding of the code under test: the harness cannot run.
  [[noreturn]] static void Fail(const char* call) {
    std::perror(call);
    std::_Exit(2);
  }
};

}  // namespace fuzz

#endif  // FUZZ__TEMP_FILES_HPP_
