#ifndef BOARD_SIM_TEXT_PARSE_ERRORS_HPP_
#define BOARD_SIM_TEXT_PARSE_ERRORS_HPP_

#include <string>

#include <google/protobuf/io/tokenizer.h>
#include <google/protobuf/message.h>

namespace board_sim {

// Parses a message from protobuf text, keeping the first error instead of logging it: a script
// line gets one answer line naming what is wrong.
class TextParseErrors : public google::protobuf::io::ErrorCollector {
public:
  // False and *error (what is wrong) when text is not a message of that type.
  static bool Parse(const std::string& text, google::protobuf::Message* message,
                    std::string* error);

  void AddError(int line, google::protobuf::io::ColumnNumber column,
                const std::string& message) override;

private:
  std::string first_;
};

}  // namespace board_sim

#endif  // BOARD_SIM_TEXT_PARSE_ERRORS_HPP_
