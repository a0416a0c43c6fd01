#ifndef ROS_TOOLS_YAML_VALUE_HPP_
#define ROS_TOOLS_YAML_VALUE_HPP_

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ros_tools {

// A YAML document as the command-line tools take it, e.g. '{cmd: 12, component: {main_swp: {cmd:
// 1}}}' (flow or block style): scalars, maps with their keys in order, and sequences.
class YamlValue {
public:
  enum class Kind { kScalar, kMap, kSequence };

  // Empty and *error set when the text is not YAML or holds no document.
  static std::optional<YamlValue> Parse(const std::string& text, std::string* error);

  Kind kind() const { return kind_; }
  const std::string& scalar() const { return scalar_; }
  // True for '...' and "..." scalars, which YAML never reads as numbers or booleans.
  bool quoted() const { return quoted_; }
  const std::vector<std::pair<std::string, YamlValue>>& entries() const { return entries_; }
  const std::vector<YamlValue>& items() const { return items_; }

private:
  class Builder;

  Kind kind_ = Kind::kScalar;
  std::string scalar_;
  bool quoted_ = false;
  std::vector<std::pair<std::string, YamlValue>> entries_;
  std::vector<YamlValue> items_;
};

}  // namespace ros_tools

#endif  // ROS_TOOLS_YAML_VALUE_HPP_
