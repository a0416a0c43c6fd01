#include "board_sim/reply_builder.hpp"

#include <cstdint>
#include <vector>

#include "bottom_interact_center/board_frame.hpp"

namespace board_sim {

namespace {

using cleaning_component::CleaningComponentRequest;
using cleaning_component::CleaningComponentResponse;

// A response_id varint that never ends: no protobuf reader accepts it.
const std::string kGarbageFrame("\x02\x00\x08\xFF", 4);
// Text that makes an answer longer than the 4094 payload bytes a 4096-byte receive buffer holds.
constexpr std::size_t kOversizeText = 4095;
constexpr int kFloodFrames = 100;

}  // namespace

ReplyPlan ReplyBuilder::Build(const Scenario& scenario, const CleaningComponentRequest& request,
                              CommandKind kind) {
  CleaningComponentResponse answer = Answer(request, kind);
  ReplyPlan plan;
  switch (scenario.kind()) {
    case Scenario::Kind::kAccept:
      plan.writes = {Frame(answer)};
      break;
    case Scenario::Kind::kError:
      answer.mutable_error()->set_err_code(scenario.error_code());
      plan.writes = {Frame(answer)};
      break;
    case Scenario::Kind::kVersion:
      answer.mutable_version()->set_release_version(scenario.version_text());
      plan.writes = {Frame(answer)};
      break;
    case Scenario::Kind::kSilent:
      break;
    case Scenario::Kind::kOtherIdFirst:
      plan.writes = {OtherIdFrame(request), Frame(answer)};
      plan.pause_between_writes = true;
      break;
    case Scenario::Kind::kCoalesce:
      plan.writes = {OtherIdFrame(request) + Frame(answer)};
      break;
    case Scenario::Kind::kSplit:
      plan.writes = SplitInThree(Frame(answer));
      plan.pause_between_writes = true;
      break;
    case Scenario::Kind::kGarbage:
      plan.writes = {kGarbageFrame};
      break;
    case Scenario::Kind::kOversize:
      answer.mutable_version()->set_release_version(std::string(kOversizeText, 'v'));
      plan.writes = {Frame(answer)};
      break;
    case Scenario::Kind::kClose:
      plan.close_connection = true;
      break;
    case Scenario::Kind::kCloseRefuse:
      plan.close_connection = true;
      plan.stop_listening = true;
      break;
    case Scenario::Kind::kBytewise:
      for (const char byte : Frame(answer)) {
        plan.writes.emplace_back(1, byte);
      }
      plan.pause_between_writes = true;
      break;
    case Scenario::Kind::kFlood:
      plan.writes = {std::string()};
      for (int i = 0; i < kFloodFrames; ++i) {
        plan.writes[0] += OtherIdFrame(request);
      }
      plan.writes[0] += Frame(answer);
      break;
    case Scenario::Kind::kAnswerClose:
      plan.writes = {Frame(answer)};
      plan.close_connection = true;
      break;
  }
  return plan;
}

CleaningComponentResponse ReplyBuilder::Answer(const CleaningComponentRequest& request,
                                               CommandKind kind) {
  CleaningComponentResponse answer;
  answer.set_response_id(request.request_id());
  if (kind == CommandKind::kStation) {
    answer.mutable_station()->set_is_abutment(true);
    answer.mutable_station()->set_is_charging(true);
  }
  return answer;
}

std::string ReplyBuilder::Frame(const CleaningComponentResponse& response) {
  std::vector<uint8_t> frame;
  bottom_interact_center::BoardFrame::Encode(response, &frame);
  return std::string(frame.begin(), frame.end());
}

std::string ReplyBuilder::OtherIdFrame(const CleaningComponentRequest& request) {
  CleaningComponentResponse earlier;
  // Unsigned arithmetic: an id of INT32_MIN wraps instead of overflowing.
  earlier.set_response_id(static_cast<int32_t>(static_cast<uint32_t>(request.request_id()) - 1u));
  return Frame(earlier);
}

// Cuts inside the header and in the middle of the payload, so a reader sees a partial header
// and a partial payload.
std::vector<std::string> ReplyBuilder::SplitInThree(const std::string& frame) {
  const std::size_t header = bottom_interact_center::BoardFrame::kHeaderSize;
  const std::size_t middle = header + (frame.size() - header) / 2;
  std::vector<std::string> pieces;
  for (auto [begin, end] :
       {std::pair<std::size_t, std::size_t>{0, 1}, {1, middle}, {middle, frame.size()}}) {
    if (end > begin) pieces.push_back(frame.substr(begin, end - begin));
  }
  return pieces;
}

}  // namespace board_sim
