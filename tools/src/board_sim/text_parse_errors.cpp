#include "board_sim/text_parse_errors.hpp"

#include <google/protobuf/text_format.h>

namespace board_sim {

bool TextParseErrors::Parse(const std::string& text, google::protobuf::Message* message,
                            std::string* error) {
  TextParseErrors errors;
  google::protobuf::TextFormat::Parser parser;
  parser.RecordErrorsTo(&errors);
  if (parser.ParseFromString(text, message)) return true;
  *error = "not a " + message->GetTypeName() + " in protobuf text: " + errors.first_;
  return false;
}

void TextParseErrors::AddError(int /*line*/, google::protobuf::io::ColumnNumber /*column*/,
                               const std::string& message) {
  if (first_.empty()) first_ = message;
}

}  // namespace board_sim
