#include "test_support/scratch_dir.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace test_support {

ScratchDir::ScratchDir() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "bottom_interact_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("mkdtemp: " + std::string(std::strerror(errno)));
  }
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::Path(const std::string& name) const {
  return path_ + "/" + name;
}

std::string ScratchDir::Write(const std::string& name, const std::string& text) const {
  std::ofstream(Path(name)) << text;
  return Path(name);
}

std::string ScratchDir::Link(const std::string& name, const std::string& target) const {
  // rename replaces the old link at once: whoever opens the path finds one target or the other.
  const std::string next = Path(name + ".next");
  std::filesystem::create_symlink(target, next);
  std::filesystem::rename(next, Path(name));
  return Path(name);
}

}  // namespace test_support
