// A directory of a test's own for the files it points the node at, removed with its contents.
#ifndef TEST_SUPPORT__SCRATCH_DIR_HPP_
#define TEST_SUPPORT__SCRATCH_DIR_HPP_

#include <string>

namespace test_support {

class ScratchDir {
public:
  ScratchDir();  // throws std::runtime_error when the directory cannot be made
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The path of name inside the directory.
  std::string Path(const std::string& name) const;
  // The file name holding text; its path.
  std::string Write(const std::string& name, const std::string& text) const;
  // The symbolic link name pointing at target, replaced in one step if it exists; its path.
  std::string Link(const std::string& name, const std::string& target) const;

private:
  std::string path_;
};

}  // namespace test_support

#endif  // TEST_SUPPORT__SCRATCH_DIR_HPP_
