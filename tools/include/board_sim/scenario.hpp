#ifndef BOARD_SIM_SCENARIO_HPP_
#define BOARD_SIM_SCENARIO_HPP_

#include <cstdint>
#include <optional>
#include <string>

namespace board_sim {

// How the simulated board answers a request.
class Scenario {
public:
  enum class Kind {
    kAccept,        // right id, no error
    kError,         // right id, error.err_code = error_code()
    kSilent,        // no answer
    kOtherIdFirst,  // a frame with response_id = request_id - 1, a pause, then the answer
    kGarbage,       // a frame whose payload does not parse
    kSplit,         // the answer in several writes with pauses between them
    kCoalesce,      // the other-id frame and the answer in one write
    kClose,         // the connection is closed on receipt, no answer
    kVersion,       // right id, version.release_version = version_text()
    kOversize,      // the answer padded past a receiver's 4094 bytes, every declared byte sent
    kBytewise,      // the answer one byte per write, with pauses between them
    kFlood,         // a hundred other-id frames and the answer in one write
    kAnswerClose,   // the answer, then the connection closed
    kCloseRefuse,   // the connection closed on receipt and the port closed: connections are
                    // refused until the simulator is started again
  };

  Scenario() = default;
  static Scenario Of(Kind kind);
  static Scenario Error(int32_t error_code);
  static Scenario Version(std::string version_text);

  // Text form: one of TextForms(). Empty and *error set when the text is not one of them.
  static std::optional<Scenario> Parse(const std::string& text, std::string* error);
  // "accept, error:N, silent, ...": every text form, for help and error texts.
  static std::string TextForms();
  std::string ToString() const;

  Kind kind() const { return kind_; }
  int32_t error_code() const { return error_code_; }
  const std::string& version_text() const { return version_text_; }

private:
  Kind kind_ = Kind::kAccept;
  int32_t error_code_ = 0;
  std::string version_text_;
};

}  // namespace board_sim

#endif  // BOARD_SIM_SCENARIO_HPP_
