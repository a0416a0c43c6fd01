#include "ros_tools/yaml_value.hpp"

#include <yaml.h>

namespace ros_tools {

// Converts libyaml's document tree; lives as long as one Parse call.
class YamlValue::Builder {
public:
  explicit Builder(yaml_document_t* document) : document_(document) {}

  bool Build(const yaml_node_t* node, YamlValue* value, std::string* error) {
    switch (node->type) {
      case YAML_SCALAR_NODE:
        value->kind_ = Kind::kScalar;
        value->scalar_.assign(reinterpret_cast<const char*>(node->data.scalar.value),
                              node->data.scalar.length);
        value->quoted_ = node->data.scalar.style == YAML_SINGLE_QUOTED_SCALAR_STYLE ||
                         node->data.scalar.style == YAML_DOUBLE_QUOTED_SCALAR_STYLE;
        return true;
      case YAML_SEQUENCE_NODE:
        value->kind_ = Kind::kSequence;
        for (auto* item = node->data.sequence.items.start; item < node->data.sequence.items.top;
             ++item) {
          value->items_.emplace_back();
          if (!Build(Node(*item), &value->items_.back(), error)) return false;
        }
        return true;
      case YAML_MAPPING_NODE:
        value->kind_ = Kind::kMap;
        return BuildMap(node, value, error);
      default:
        *error = "empty YAML node";
        return false;
    }
  }

private:
  bool BuildMap(const yaml_node_t* node, YamlValue* value, std::string* error) {
    for (auto* pair = node->data.mapping.pairs.start; pair < node->data.mapping.pairs.top; ++pair) {
      const yaml_node_t* key = Node(pair->key);
      if (key->type != YAML_SCALAR_NODE) {
        *error = "map keys must be plain names";
        return false;
      }
      std::string name(reinterpret_cast<const char*>(key->data.scalar.value),
                       key->data.scalar.length);
      for (const auto& entry : value->entries_) {
        if (entry.first == name) {
          *error = "key '" + name + "' given twice";
          return false;
        }
      }
      value->entries_.emplace_back(std::move(name), YamlValue());
      if (!Build(Node(pair->value), &value->entries_.back().second, error)) return false;
    }
    return true;
  }

  const yaml_node_t* Node(int index) { return yaml_document_get_node(document_, index); }

  yaml_document_t* document_;
};

std::optional<YamlValue> YamlValue::Parse(const std::string& text, std::string* error) {
  yaml_parser_t parser;
  if (!yaml_parser_initialize(&parser)) {
    *error = "cannot initialise the YAML parser";
    return std::nullopt;
  }
  yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(text.data()),
                               text.size());
  yaml_document_t document;
  std::optional<YamlValue> result;
  if (!yaml_parser_load(&parser, &document)) {
    *error = std::string("not valid YAML: ") + (parser.problem ? parser.problem : "parse error") +
             " at column " + std::to_string(parser.problem_mark.column + 1);
    yaml_parser_delete(&parser);
    return std::nullopt;
  }
  const yaml_node_t* root = yaml_document_get_root_node(&document);
  YamlValue value;
  if (root == nullptr) {
    *error = "no YAML document";
  } else if (Builder(&document).Build(root, &value, error)) {
    result = std::move(value);
  }
  yaml_document_delete(&document);
  yaml_parser_delete(&parser);
  return result;
}

}  // namespace ros_tools
