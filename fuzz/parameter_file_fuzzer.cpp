// Parameter files (--params-file): the input is the file's content. The parser takes a path, so
// each input is written to a file of the fuzzer's own first. A malformed file is documented to
// throw std::invalid_argument.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "parameter_overrides_check.hpp"
#include "rclcpp/detail/parameter_overrides.hpp"
#include "rclcpp/detail/yaml_parameters.hpp"
#include "temp_files.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string path =
      fuzz::TempFiles::Write(0, std::string(reinterpret_cast<const char*>(data), size));
  rclcpp::detail::ParameterOverrides overrides;
  try {
    rclcpp::detail::load_parameter_file(path, overrides);
  } catch (const std::invalid_argument&) {
    // Whatever was added before the error must still resolve.
  }
  fuzz::ResolveForNodes(overrides);
  return 0;
}
