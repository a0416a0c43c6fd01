#include "rclcpp/detail/yaml_parameters.hpp"

#include <yaml.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <set>
#include <stdexcept>
#include <vector>

namespace rclcpp {
namespace detail {

namespace {

struct YamlEvent {
  yaml_event_type_t type;
  std::string value;  // scalars only
  bool plain;         // an unquoted scalar
  size_t line;        // 1-based
};

/// Pulls libyaml events one by one, as plain values.
class YamlEventReader {
public:
  explicit YamlEventReader(const std::string& text) : text_(text) {
    init();
    yaml_parser_set_input_string(&parser_, reinterpret_cast<const unsigned char*>(text_.data()),
                                 text_.size());
  }

  explicit YamlEventReader(FILE* file) {
    init();
    yaml_parser_set_input_file(&parser_, file);
  }

  ~YamlEventReader() { yaml_parser_delete(&parser_); }

  YamlEventReader(const YamlEventReader&) = delete;
  YamlEventReader& operator=(const YamlEventReader&) = delete;

  YamlEvent next() {
    yaml_event_t event;
    if (!yaml_parser_parse(&parser_, &event)) {
      throw std::invalid_argument(std::string(parser_.problem ? parser_.problem : "invalid YAML") +
                                  " at line " + std::to_string(parser_.problem_mark.line + 1));
    }
    YamlEvent result{event.type, "", false, event.start_mark.line + 1};
    if (event.type == YAML_SCALAR_EVENT) {
      result.value.assign(reinterpret_cast<const char*>(event.data.scalar.value),
                          event.data.scalar.length);
      result.plain = event.data.scalar.style == YAML_PLAIN_SCALAR_STYLE;
    }
    yaml_event_delete(&event);
    return result;
  }

  YamlEvent next_of(yaml_event_type_t type, const char* what) {
    YamlEvent event = next();
    if (event.type != type) {
      throw std::invalid_argument(std::string("expected ") + what + " at line " +
                                  std::to_string(event.line));
    }
    return event;
  }

private:
  void init() {
    if (!yaml_parser_initialize(&parser_)) {
      throw std::runtime_error("failed to initialize the YAML parser");
    }
  }

  std::string text_;
  yaml_parser_t parser_;
};

std::string at_line(const YamlEvent& event) {
  return " at line " + std::to_string(event.line);
}

// Maps are read recursively: bound the depth so that a hostile file cannot exhaust the stack.
constexpr size_t kMaxMapNesting = 64;

/// Throws for a map (opened at `key`) nested `depth` levels deep when that is too deep.
void check_map_nesting(size_t depth, const YamlEvent& key) {
  if (depth > kMaxMapNesting) {
    throw std::invalid_argument("maps nested deeper than " + std::to_string(kMaxMapNesting) +
                                " levels" + at_line(key));
  }
}

bool parse_bool_word(const std::string& text, bool& value) {
  static const std::set<std::string> kTrue{"y",    "Y",    "yes", "Yes", "YES", "true",
                                           "True", "TRUE", "on",  "On",  "ON"};
  static const std::set<std::string> kFalse{"n",     "N",     "no",  "No",  "NO", "false",
                                            "False", "FALSE", "off", "Off", "OFF"};
  if (kTrue.count(text) != 0) {
    value = true;
    return true;
  }
  if (kFalse.count(text) != 0) {
    value = false;
    return true;
  }
  return false;
}

bool parse_integer(const std::string& text, int64_t& value) {
  errno = 0;
  char* end = nullptr;
  const long long parsed = std::strtoll(text.c_str(), &end, 0);  // NOLINT(runtime/int)
  if (errno != 0 || end == text.c_str() || *end != '\0') {
    return false;
  }
  value = parsed;
  return true;
}

bool parse_double(const std::string& text, double& value) {
  static const std::set<std::string> kInfinity{".inf", ".Inf", ".INF", "+.inf", "+.Inf", "+.INF"};
  static const std::set<std::string> kNegativeInfinity{"-.inf", "-.Inf", "-.INF"};
  static const std::set<std::string> kNotANumber{".nan", ".NaN", ".NAN"};
  if (kInfinity.count(text) != 0 || kNegativeInfinity.count(text) != 0 ||
      kNotANumber.count(text) != 0) {
    value = kNotANumber.count(text) != 0 ? std::numeric_limits<double>::quiet_NaN()
            : kInfinity.count(text) != 0 ? std::numeric_limits<double>::infinity()
                                         : -std::numeric_limits<double>::infinity();
    return true;
  }
  errno = 0;
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (errno != 0 || end == text.c_str() || *end != '\0') {
    return false;
  }
  value = parsed;
  return true;
}

ParameterValue typed_scalar(const YamlEvent& scalar) {
  if (!scalar.plain) {
    return ParameterValue(scalar.value);
  }
  if (scalar.value.empty()) {
    throw std::invalid_argument("no value" + at_line(scalar));
  }
  bool bool_value = false;
  int64_t integer_value = 0;
  double double_value = 0.0;
  if (parse_bool_word(scalar.value, bool_value)) {
    return ParameterValue(bool_value);
  }
  if (parse_integer(scalar.value, integer_value)) {
    return ParameterValue(integer_value);
  }
  if (parse_double(scalar.value, double_value)) {
    return ParameterValue(double_value);
  }
  return ParameterValue(scalar.value);
}

/// Reads the scalars of a sequence whose start event was just read.
ParameterValue typed_sequence(YamlEventReader& reader, const YamlEvent& start) {
  std::vector<ParameterValue> elements;
  for (YamlEvent event = reader.next(); event.type != YAML_SEQUENCE_END_EVENT;
       event = reader.next()) {
    if (event.type != YAML_SCALAR_EVENT) {
      throw std::invalid_argument("sequences may hold only scalars" + at_line(event));
    }
    elements.push_back(typed_scalar(event));
    if (elements.back().get_type() != elements.front().get_type()) {
      throw std::invalid_argument("Sequence should be of same type. Value type '" +
                                  to_string(elements.back().get_type()) + "' do not belong" +
                                  at_line(event));
    }
  }
  if (elements.empty()) {
    throw std::invalid_argument("empty sequences have no type" + at_line(start));
  }
  switch (elements.front().get_type()) {
    case PARAMETER_BOOL: {
      std::vector<bool> values;
      for (const auto& element : elements) values.push_back(element.get<bool>());
      return ParameterValue(values);
    }
    case PARAMETER_INTEGER: {
      std::vector<int64_t> values;
      for (const auto& element : elements) values.push_back(element.get<int64_t>());
      return ParameterValue(values);
    }
    case PARAMETER_DOUBLE: {
      std::vector<double> values;
      for (const auto& element : elements) values.push_back(element.get<double>());
      return ParameterValue(values);
    }
    default: {
      std::vector<std::string> values;
      for (const auto& element : elements) values.push_back(element.get<std::string>());
      return ParameterValue(values);
    }
  }
}

/// The value of a scalar or sequence event that was just read; anything else is an error.
ParameterValue typed_value(YamlEventReader& reader, const YamlEvent& event) {
  if (event.type == YAML_SCALAR_EVENT) {
    return typed_scalar(event);
  }
  if (event.type == YAML_SEQUENCE_START_EVENT) {
    return typed_sequence(reader, event);
  }
  throw std::invalid_argument("expected a scalar or a sequence" + at_line(event));
}

/// Reads a ros__parameters map (whose start event was just read); nested maps give dotted names.
void read_parameter_map(YamlEventReader& reader, const std::string& node_key,
                        const std::string& prefix, ParameterOverrides& overrides, size_t depth) {
  for (YamlEvent key = reader.next(); key.type != YAML_MAPPING_END_EVENT; key = reader.next()) {
    if (key.type != YAML_SCALAR_EVENT) {
      throw std::invalid_argument("expected a parameter name" + at_line(key));
    }
    const std::string name = prefix + key.value;
    const YamlEvent value = reader.next();
    if (value.type == YAML_MAPPING_START_EVENT) {
      check_map_nesting(depth + 1, key);
      read_parameter_map(reader, node_key, name + ".", overrides, depth + 1);
    } else {
      overrides.set(node_key, name, typed_value(reader, value));
    }
  }
}

std::string join_node_key(const std::string& path, const std::string& token) {
  if (path.empty()) {
    return token;
  }
  return path + (path.back() == '/' || (!token.empty() && token[0] == '/') ? "" : "/") + token;
}

/// Reads a map of namespaces and node names (whose start event was just read) down to the
/// ros__parameters maps.
void read_node_map(YamlEventReader& reader, const std::string& path, ParameterOverrides& overrides,
                   size_t depth) {
  for (YamlEvent key = reader.next(); key.type != YAML_MAPPING_END_EVENT; key = reader.next()) {
    if (key.type != YAML_SCALAR_EVENT) {
      throw std::invalid_argument("expected a node name or namespace" + at_line(key));
    }
    const YamlEvent value = reader.next();
    if (value.type != YAML_MAPPING_START_EVENT) {
      throw std::invalid_argument("'" + key.value + "' must be a map" + at_line(key));
    }
    check_map_nesting(depth + 1, key);
    if (key.value == "ros__parameters") {
      if (path.empty()) {
        throw std::invalid_argument("ros__parameters needs a node name above it" + at_line(key));
      }
      read_parameter_map(reader, path, "", overrides, depth + 1);
    } else {
      read_node_map(reader, join_node_key(path, key.value), overrides, depth + 1);
    }
  }
}

}  // namespace

ParameterValue parse_parameter_value(const std::string& yaml_text) {
  YamlEventReader reader(yaml_text);
  reader.next_of(YAML_STREAM_START_EVENT, "a value");
  if (reader.next().type != YAML_DOCUMENT_START_EVENT) {
    throw std::invalid_argument("no value");
  }
  const ParameterValue value = typed_value(reader, reader.next());
  reader.next_of(YAML_DOCUMENT_END_EVENT, "a single value");
  return value;
}

void load_parameter_file(const std::string& path, ParameterOverrides& overrides) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "r"), &std::fclose);
  if (!file) {
    throw std::invalid_argument("Error opening YAML file, file: " + path);
  }
  YamlEventReader reader(file.get());
  reader.next_of(YAML_STREAM_START_EVENT, "a YAML stream");
  for (YamlEvent event = reader.next(); event.type != YAML_STREAM_END_EVENT;
       event = reader.next()) {
    if (event.type != YAML_DOCUMENT_START_EVENT) {
      throw std::invalid_argument("expected a document" + at_line(event));
    }
    const YamlEvent top = reader.next();
    if (top.type == YAML_MAPPING_START_EVENT) {
      read_node_map(reader, "", overrides, 1);
    } else if (!(top.type == YAML_SCALAR_EVENT && top.plain && top.value.empty())) {
      throw std::invalid_argument("the top level must be a map of node names" + at_line(top));
    }
    reader.next_of(YAML_DOCUMENT_END_EVENT, "the end of the document");
  }
}

}  // namespace detail
}  // namespace rclcpp
