// Each "bottom_operate" command against the real node executable and the simulated board: the
// board request field by field, the node's log and standard-output lines, and the service answer
// for the board's answers that end an exchange at once.
#include <gtest/gtest.h>

#include <google/protobuf/text_format.h>

#include <algorithm>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "board_sim/board_simulator.hpp"
#include "board_sim/reply_builder.hpp"
#include "support/node_process.hpp"
#include "support/node_test_support.hpp"
#include "support/ros_peer.hpp"

namespace node_test {
namespace {

namespace cc = cleaning_component;
using board_sim::BoardSimulator;
using board_sim::CommandKind;
using board_sim::Link;
using board_sim::RecordedRequest;
using board_sim::Scenario;

std::string Id(int32_t id) {
  return std::to_string(id);
}

// What one service call did.
struct CallResult {
  Operate::Response response;
  RecordedRequest board;         // the request the board received
  std::vector<std::string> log;  // the node's log lines meanwhile, "SEVERITY message"
  std::vector<std::string> out;  // its standard-output lines meanwhile
};

// One node and one board for the whole suite; each test sets the board's scenarios it needs.
class NodeCommandsTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!BoardIsLoopback()) {
      return;
    }
    sim_ = std::make_unique<BoardSimulator>(BoardOptions());
    std::string reason;
    if (!sim_->Start(&reason)) {
      setup_failure_ = "board simulator: " + reason;
      return;
    }
    node_ = std::make_unique<NodeProcess>();
    peer_ = std::make_unique<RosPeer>();
    // Start-up lines read before the first test takes its marks: both connects and the last line.
    if (!peer_->WaitForNode() || !node_->err().WaitForCount("TcpSocket::Connect get flag", 2) ||
        !node_->out().WaitFor("after advertiseService")) {
      setup_failure_ = "the node did not come up";
    }
  }

  static void TearDownTestSuite() {
    peer_.reset();
    if (node_) {
      node_->Terminate();
    }
    node_.reset();
    sim_.reset();
  }

  void SetUp() override {
    if (!BoardIsLoopback()) {
      GTEST_SKIP() << "the board address is not loopback";
    }
    ASSERT_TRUE(setup_failure_.empty()) << setup_failure_;
    sim_->ClearScenarios();
    // Platform commands do not wait for an answer: one the board sent would be left in the link,
    // and the next command's exchange would skip it with lines of its own.
    sim_->SetScenario(CommandKind::kPlatform, Scenario::Of(Scenario::Kind::kSilent));
    sim_->ClearRecord();
    peer_->robot_events().Clear();
  }

  // Calls the command and collects what it caused: last_log is the node's last log line for it,
  // out_lines the number of standard-output lines it writes.
  std::optional<CallResult> Call(const Operate::Request& request, const std::string& last_log,
                                 std::size_t out_lines = 0) {
    const std::size_t log_mark = node_->err().Size();
    const std::size_t out_mark = node_->out().Size();
    const time_t before = time(nullptr);
    auto response = peer_->Call(request);
    const time_t after = time(nullptr);
    if (!response) {
      ADD_FAILURE() << "no answer to command " << request.cmd;
      return std::nullopt;
    }
    CallResult result;
    result.response = *response;
    if (sim_->WaitForRequests(1, 5s)) {
      result.board = sim_->Requests().front();
      // The clock in whole seconds, or one past the link's previous id when the clock has not
      // passed it.
      const int32_t id = result.board.request.request_id();
      int32_t& last = last_ids_[result.board.link];
      EXPECT_GE(id, std::max<time_t>(before, last + 1));
      EXPECT_LE(id, std::max<time_t>(after, last + 1));
      last = id;
    }
    EXPECT_TRUE(node_->err().WaitFor(last_log, log_mark, 5s)) << "missing: " << last_log;
    EXPECT_TRUE(node_->out().WaitForSize(out_mark + out_lines, 5s));
    result.log = node_->err().LinesFrom(log_mark);
    result.out = node_->out().LinesFrom(out_mark);
    // Every board here answers: an answer, even a failing or unreadable one, ends the exchange
    // at once instead of its time-out.
    for (const auto& line : result.log) {
      EXPECT_EQ(line.find("Function exec timeout exit!"), std::string::npos)
          << "command " << request.cmd;
    }
    return result;
  }

  // The length the node reads from the frame the board answered with.
  static std::string AnswerSize(const CallResult& result) {
    const auto plan = board_sim::ReplyBuilder::Build(result.board.answered_with,
                                                     result.board.request, result.board.kind);
    return plan.writes.empty() ? "" : std::to_string(plan.writes.front().size() - 2);
  }

  static void ExpectSuccess(const CallResult& result) {
    EXPECT_EQ(result.response.status, 0);
    EXPECT_EQ(result.response.message, "");
  }

  static inline std::unique_ptr<BoardSimulator> sim_;
  static inline std::unique_ptr<NodeProcess> node_;
  static inline std::unique_ptr<RosPeer> peer_;
  static inline std::string setup_failure_;
  // The last request id the board received on each link through Call.
  static inline std::map<Link, int32_t> last_ids_;
};

// A command as `ros2 service call` would send it and what the node must make of it; "{id}" stands
// for the request id in the expected lines.
struct CommandCase {
  std::string request;           // YAML
  Link link;                     // the link the board request must arrive on
  std::string board;             // the board request in protobuf text format, the id left out
  std::string first_log;         // the command's first log line, "SEVERITY message"
  const char* done;              // the exchange's last log line, up to its numbers
  std::vector<std::string> out;  // its standard-output lines
};

// The expected lines with "{id}" and "{size}" (the length of the board's answer) filled in.
std::vector<std::string> Expand(std::vector<std::string> lines, const std::string& id,
                                const std::string& size) {
  for (auto& line : lines) {
    for (const auto& [key, value] : {std::pair{"{id}", id}, std::pair{"{size}", size}}) {
      const std::size_t at = line.find(key);
      if (at != std::string::npos) {
        line.replace(at, std::string(key).size(), value);
      }
    }
  }
  return lines;
}

cc::CleaningComponentRequest BoardRequest(const std::string& text, int32_t request_id) {
  cc::CleaningComponentRequest request;
  EXPECT_TRUE(google::protobuf::TextFormat::ParseFromString(text, &request)) << text;
  request.set_request_id(request_id);
  return request;
}

const char* const kExchanged = "resp.has_error";
const char* const kSent = "CleanCompReq request id";
const char* const kReceivedOut =
    "Rcv data from SendCleaningComponentRequest success, rsp datalen = {size}request id : {id}";

const std::vector<CommandCase>& CommandCases() {
  static const std::vector<CommandCase> cases = {
      // Cleaning components: the settings of this command only, each motor present even at zero.
      {"{cmd: 0, component: {motor_ctrl: {tools_clean: {motor: {cmd: 1, duty: 11}, select: 2},"
       " camera_mask: {cmd: 1, duty: 5}}, water_supply: {clean_pump: {motor: {cmd: 3, duty: 22},"
       " select: 4}, dirty_pump: {motor: {cmd: 1, duty: 33}, select: 8}, hand_pump: {cmd: 1,"
       " duty: 6}}, main_swp: {cmd: 1, duty: 7}}}",
       Link::kProcter,
       "motor_ctrl { tools_clean { motor { cmd: 1 duty: 11 } select: MultiplexSelect_2 } }"
       " water_supply { clean_pump { motor { cmd: 3 duty: 22 } select: MultiplexSelect_3 }"
       " dirty_pump { motor { cmd: 1 duty: 33 } select: MultiplexSelect_4 } }",
       "INFO DoProcter, request id : {id}",
       kExchanged,
       {kReceivedOut}},
      {"{cmd: 12, component: {main_swp: {cmd: 1, duty: 10}, side_swp: {cmd: 3, duty: 20},"
       " roll_mop: {cmd: 1, duty: 30}, mop_pump: {cmd: 1, duty: 40}, squeegee_fan: {cmd: 3,"
       " duty: 50}, dust_tank_fan: {cmd: 1, duty: 60}}}",
       Link::kProcter,
       "main_swp { cmd: 1 duty: 10 } side_swp { cmd: 3 duty: 20 } roll_mop { cmd: 1 duty: 30 }"
       " mop_pump { cmd: 1 duty: 40 } squeegee_fan { cmd: 3 duty: 50 }"
       " dust_tank_fan { cmd: 1 duty: 60 }",
       "INFO DoProcterSMF, request id : {id}",
       kExchanged,
       {"BottomInteractHandle DoProcterSMF", "side_swp.cmd : 3", "side_swp.duty : 20",
        "main_swp.cmd : 1", "main_swp.duty : 10", "squeegee_fan.cmd : 3", "squeegee_fan.duty : 50",
        "roll_mop.cmd : 1", "roll_mop.duty : 30", "mop_pump.cmd : 1", "mop_pump.duty : 40",
        "dust_tank_fan.cmd: 1", "dust_tank_fan.duty: 60", kReceivedOut}},
      {"{cmd: 13, component: {water_supply: {hand_pump: {cmd: 3, duty: 70},"
       " clean_pump: {motor: {cmd: 1, duty: 1}}}}}",
       Link::kProcter,
       "water_supply { hand_pump { cmd: 3 duty: 70 } }",
       "INFO HandleEndToolPump, request id : {id}",
       kExchanged,
       {kReceivedOut}},
      {"{cmd: 6, dirty_tank_switch: {cmd: 1, duty: 80}, tank_clean_pump: {cmd: 3, duty: 90}}",
       Link::kProcter,
       "dirty_tank_switch { cmd: 1 duty: 80 } tank_clean_pump { cmd: 3 duty: 90 }",
       "INFO DirtyTankSwitch call, request id : {id}",
       kExchanged,
       {kReceivedOut}},
      // Self-clean on starts both pumps with their default duties; off sends no pump.
      {"{cmd: 4, self_clean: true, self_clean_time: 120}",
       Link::kProcter,
       "self_clean { cmd: 1 time: 120 } mop_pump { cmd: 1 duty: 40 }"
       " self_clean_pump { cmd: 1 duty: 20 }",
       "INFO OperateSelfCleanDuringWork, request id : {id}",
       kExchanged,
       {kReceivedOut}},
      {"{cmd: 4, self_clean: false, self_clean_time: 45}",
       Link::kProcter,
       "self_clean { cmd: 0 time: 45 }",
       "INFO OperateSelfCleanDuringWork, request id : {id}",
       kExchanged,
       {kReceivedOut}},
      // Lights: the top light always, the others only with a colour; nothing is read back.
      {"{cmd: 2, top_led: {r_g_b_duty: 287454020, mode: 2, interval: 500}, bottom_led:"
       " {r_g_b_duty: 65296, mode: 1}, turn_left: {mode: 3, interval: 250}, turn_right:"
       " {r_g_b_duty: 16711712, mode: 3, interval: 300}, forward_led: {r_g_b_duty: 1}}",
       Link::kLight,
       "led_cmd { top_led { r_g_b_duty: 287454020 mode: LED_MODE_BREATH interval: 500 }"
       " bottom_led { r_g_b_duty: 65296 mode: LED_MODE_ALWAYS_ON }"
       " turn_right { r_g_b_duty: 16711712 mode: LED_MODE_BLINK interval: 300 } }",
       "INFO OperateLight, request id : {id}",
       kSent,
       {}},
      {"{cmd: 2, top_led: {mode: 1}, bottom_led: {mode: 2, interval: 100}, turn_left:"
       " {r_g_b_duty: 255, mode: 3, interval: 400}}",
       Link::kLight,
       "led_cmd { top_led { mode: LED_MODE_ALWAYS_ON }"
       " turn_left { r_g_b_duty: 255 mode: LED_MODE_BLINK interval: 400 } }",
       "INFO OperateLight, request id : {id}",
       kSent,
       {}},
      // Projection: both lights, one without colour sent as all zeros.
      {"{cmd: 14, forward_led: {mode: 2, interval: 700}, backward_led: {r_g_b_duty: 2139062143,"
       " mode: 4, interval: 90}, top_led: {r_g_b_duty: 1}}",
       Link::kLight,
       "led_cmd { forward_led { } backward_led { r_g_b_duty: 2139062143 mode: LED_MODE_FLOW"
       " interval: 90 } }",
       "INFO OperateProjectionLight, request id : {id}",
       kSent,
       {}},
      {"{cmd: 11, fill_light_led: {r_g_b_duty: 16777215, mode: 3, interval: 100},"
       " top_led: {r_g_b_duty: 1}}",
       Link::kLight,
       "led_cmd { fill_light_led { r_g_b_duty: 16777215 mode: LED_MODE_BLINK interval: 100 } }",
       "INFO FillLight, request id : {id}",
       kSent,
       {}},
      // Whatever the board says about abutment and charging, the query succeeds.
      {"{cmd: 3, station: {cmd: 2}}",
       Link::kProcter,
       "station { cmd: 2 }",
       "INFO Query charging station status, request id : {id}",
       kExchanged,
       {kReceivedOut}},
      // Platform commands are sent without waiting (the board stays silent for them).
      {"{cmd: 5, plt_cmd: 4}",
       Link::kProcter,
       "plt_cmd: 4",
       "INFO SingleChipReboot, plt cmd 4, request id : {id}",
       kSent,
       {}},
      {"{cmd: 7, wheel_cmd: 5}",
       Link::kProcter,
       "wheel_cmd { cmd: WheelCmd_Unlock }",
       "INFO BottomInteractHandle::BumpUnlock, request id : {id}",
       kExchanged,
       {kReceivedOut}},
      {"{cmd: 8, wheel_cmd: 6}",
       Link::kProcter,
       "wheel_cmd { cmd: WheelCmd_Disable_All_Brake }",
       "INFO WheelCommand call",
       "procterRsp.has_error",
       {"Rcv data from WheelCommand success, rsp datalen = {size}"}},
  };
  return cases;
}

TEST_F(NodeCommandsTest, EachCommandSendsItsBoardRequestAndLogsItsRequestId) {
  for (const CommandCase& command : CommandCases()) {
    SCOPED_TRACE(command.request);
    sim_->ClearRecord();
    const auto result = Call(RosPeer::Request(command.request), command.done, command.out.size());
    ASSERT_TRUE(result);
    ExpectSuccess(*result);
    EXPECT_EQ(result->board.link, command.link);
    const int32_t id = result->board.request.request_id();
    EXPECT_TRUE(SameRequest(BoardRequest(command.board, id), result->board.request));
    ASSERT_FALSE(result->log.empty());
    EXPECT_EQ(result->log.front(), Expand({command.first_log}, Id(id), "").front());
    EXPECT_EQ(std::count_if(result->log.begin(), result->log.end(),
                            [](const std::string& line) { return line.rfind("ERROR", 0) == 0; }),
              0);
    EXPECT_EQ(result->out, Expand(command.out, Id(id), AnswerSize(*result)));
  }
}

TEST_F(NodeCommandsTest, SettingsAtZeroStillSendEveryMotorAndTheTopLight) {
  struct ZeroCase {
    std::string request, board, last_log;
    std::size_t out_lines;
  };
  const std::vector<ZeroCase> cases = {
      {"{cmd: 0}",
       "motor_ctrl { tools_clean { motor { } } }"
       " water_supply { clean_pump { motor { } } dirty_pump { motor { } } }",
       "resp.has_error", 1},
      {"{cmd: 12}",
       "main_swp { } side_swp { } roll_mop { } mop_pump { } squeegee_fan { } dust_tank_fan { }",
       "resp.has_error", 14},
      {"{cmd: 2}", "led_cmd { top_led { } }", "CleanCompReq request id", 0},
  };
  for (const auto& [yaml, board, last_log, out_lines] : cases) {
    sim_->ClearRecord();
    const auto result = Call(RosPeer::Request(yaml), last_log, out_lines);
    ASSERT_TRUE(result);
    ExpectSuccess(*result);
    EXPECT_TRUE(SameRequest(BoardRequest(board, result->board.request.request_id()),
                            result->board.request));
  }
}

TEST_F(NodeCommandsTest, FillLightReportsOnAndOffOnlyForCommandNine) {
  for (const char* yaml : {"{cmd: 9, fill_light_led: {r_g_b_duty: 16777215, mode: 3}}",
                           "{cmd: 11, fill_light_led: {r_g_b_duty: 16777215, mode: 3}}",
                           "{cmd: 9, fill_light_led: {r_g_b_duty: 16777215, mode: 0}}"}) {
    sim_->ClearRecord();
    const auto result = Call(RosPeer::Request(yaml), "CleanCompReq request id");
    ASSERT_TRUE(result);
    ExpectSuccess(*result);
  }
  const auto events = peer_->robot_events().WaitFor(2);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].event_type, 7);
  EXPECT_EQ(events[0].event_code, 70004);
  EXPECT_EQ(events[1].event_type, 7);
  EXPECT_EQ(events[1].event_code, 70005);
}

TEST_F(NodeCommandsTest, WheelCommandMapsBoardErrorsToItsOwnStatus) {
  for (const auto& [err_code, status] :
       std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 3}, {2, 2}, {7, 1}}) {
    sim_->SetScenario(CommandKind::kWheel, Scenario::Error(err_code));
    sim_->ClearRecord();
    const auto result = Call(RosPeer::Request("{cmd: 8, wheel_cmd: 2}"), "procterRsp.has_error");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->response.status, status) << "board error " << err_code;
    EXPECT_EQ(result->response.message, "do WheelCommand fail");
    EXPECT_EQ(std::count(result->log.begin(), result->log.end(),
                         "ERROR ErrorCode: 100400014, WheelCommand processing failed right now"),
              1);
  }
}

TEST_F(NodeCommandsTest, VersionQueryAnswersTheFirmwareVersionOrFailsWithItsOwnMessage) {
  sim_->SetScenario(CommandKind::kVersion, Scenario::Version("fw 3.1.4-rc2"));
  // plt_cmd is ignored: the query always asks for the version.
  const auto result = Call(RosPeer::Request("{cmd: 10, plt_cmd: 3}"), "resp.has_error");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->response.status, 0);
  EXPECT_EQ(result->response.message, "fw 3.1.4-rc2");
  const int32_t id = result->board.request.request_id();
  EXPECT_TRUE(SameRequest(BoardRequest("plt_cmd: 1", id), result->board.request));

  sim_->SetScenario(CommandKind::kVersion, Scenario::Error(2));
  sim_->ClearRecord();
  const auto failed = Call(RosPeer::Command(10), "SendCleaningComponentRequest failed, request id");
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->response.status, 1);
  EXPECT_EQ(failed->response.message, "fail to get version");
}

// ---- Board answers that end an exchange at once ----

TEST_F(NodeCommandsTest, BoardErrorCodeIsTheServiceStatus) {
  // An error that names no failure (code 0) still fails the command.
  for (const int32_t err_code : {0, 1, 2, 9}) {
    sim_->SetScenario(CommandKind::kDirtyTank, Scenario::Error(err_code));
    sim_->ClearRecord();
    const auto result =
        Call(RosPeer::Command(6), "SendCleaningComponentRequest failed, request id");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->response.status, err_code);
    EXPECT_EQ(result->response.message, "SendCleaningComponentRequest failed");
    const std::string id = Id(result->board.request.request_id());
    for (const std::string& line :
         {"ERROR ErrorCode: 100400014, SendCleaningComponentRequest processing failed right now, "
          "request id : " +
              id,
          "ERROR ErrorCode: 100400015, SendCleaningComponentRequest failed, request id : " + id}) {
      EXPECT_EQ(std::count(result->log.begin(), result->log.end(), line), 1) << line;
    }
  }
}

TEST_F(NodeCommandsTest, AnswersSplitDelayedOrCoalescedWithOthersAreFound) {
  for (const auto kind :
       {Scenario::Kind::kSplit, Scenario::Kind::kOtherIdFirst, Scenario::Kind::kCoalesce}) {
    sim_->SetScenario(CommandKind::kHandPump, Scenario::Of(kind));
    sim_->ClearRecord();
    const auto result = Call(RosPeer::Command(13), "resp.has_error");
    ASSERT_TRUE(result);
    ExpectSuccess(*result);
    const int32_t id = result->board.request.request_id();
    const std::size_t skipped = kind == Scenario::Kind::kSplit ? 0u : 1u;  // the frame with id - 1
    std::size_t other_id_lines = 0;
    for (const auto& line : result->log) {
      other_id_lines += line == "INFO Recv data not this request, rcv request id : " + Id(id - 1) +
                                    ", current request id : " + Id(id);
    }
    EXPECT_EQ(other_id_lines, skipped) << Scenario::Of(kind).ToString();
  }
}

// The board answers send-only platform commands too. The answer stays in the link, and the next
// command, even within the same second, skips it and gets its own.
TEST_F(NodeCommandsTest, APlatformCommandsAnswerIsNeverTakenForTheNextCommands) {
  sim_->SetScenario(CommandKind::kPlatform, Scenario::Of(Scenario::Kind::kAccept));
  sim_->SetScenario(CommandKind::kVersion, Scenario::Version("fw 2.7.1"));
  sim_->SetScenario(CommandKind::kStation, Scenario::Error(2));
  const std::vector<std::tuple<int32_t, int32_t, std::string>> next_commands = {
      {10, 0, "fw 2.7.1"}, {3, 2, "SendCleaningComponentRequest failed"}};
  for (int round = 0; round < 3; ++round) {
    for (const auto& [cmd, status, message] : next_commands) {
      SCOPED_TRACE("round " + std::to_string(round) + ", command " + std::to_string(cmd));
      sim_->ClearRecord();
      const auto platform = Call(RosPeer::Request("{cmd: 5, plt_cmd: 2}"), "CleanCompReq");
      ASSERT_TRUE(platform);
      sim_->ClearRecord();
      const auto next = Call(RosPeer::Command(cmd), "resp.has_error", 2);
      ASSERT_TRUE(next);
      EXPECT_EQ(next->response.status, status);
      EXPECT_EQ(next->response.message, message);
      const std::string skipped = "INFO Recv data not this request, rcv request id : " +
                                  Id(platform->board.request.request_id()) +
                                  ", current request id : " + Id(next->board.request.request_id());
      EXPECT_EQ(std::count(next->log.begin(), next->log.end(), skipped), 1) << skipped;
    }
  }
}

// An answer that does not parse, or is longer than the node receives, fails its command at once.
// The rest of an oversize answer goes with the link: the next command reads its own answer.
TEST_F(NodeCommandsTest, UnparseableOrOversizeAnswerFailsTheCommandButNotTheNextOne) {
  sim_->SetScenario(CommandKind::kVersion, Scenario::Version("fw 5.0.2"));
  for (const auto kind : {Scenario::Kind::kGarbage, Scenario::Kind::kOversize}) {
    SCOPED_TRACE(Scenario::Of(kind).ToString());
    sim_->SetScenario(CommandKind::kStation, Scenario::Of(kind));
    sim_->ClearRecord();
    const auto result =
        Call(RosPeer::Command(3), "SendCleaningComponentRequest failed, request id");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->response.status, 0);
    EXPECT_EQ(result->response.message, "SendCleaningComponentRequest failed");
    EXPECT_EQ(std::count(result->log.begin(), result->log.end(),
                         "ERROR ErrorCode: 100400013, Deserialize response from "
                         "SendCleaningComponentRequest failed, request_id : " +
                             Id(result->board.request.request_id())),
              1);
    sim_->ClearRecord();
    const auto next = Call(RosPeer::Command(10), "resp.has_error", 1);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->response.status, 0);
    EXPECT_EQ(next->response.message, "fw 5.0.2");
  }
}

TEST_F(NodeCommandsTest, UnparseableAnswerFailsTheWheelCommand) {
  sim_->SetScenario(CommandKind::kWheel, Scenario::Of(Scenario::Kind::kGarbage));
  const auto result = Call(RosPeer::Command(8), "procterRsp.has_error");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->response.status, 0);
  EXPECT_EQ(result->response.message, "do WheelCommand fail");
  EXPECT_EQ(std::count(result->log.begin(), result->log.end(),
                       "ERROR ErrorCode: 100400013, Deserialize response from WheelCommand failed"),
            1);
}

// ---- Commands the node does not know ----

TEST_F(NodeCommandsTest, UnknownCommandsAreRefusedWithoutBoardTraffic) {
  for (const int32_t cmd : {1, 15, -1}) {
    const auto response = peer_->Call(RosPeer::Command(cmd));
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 1) << "cmd " << cmd;
    EXPECT_EQ(response->message, "Unsupported Cmd");
  }
  // A known command afterwards is the first thing the board sees.
  ASSERT_TRUE(peer_->Call(RosPeer::Command(2)));
  ASSERT_TRUE(sim_->WaitForRequests(1, 5s));
  const auto requests = sim_->Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests.front().kind, CommandKind::kLight);
}

}  // namespace
}  // namespace node_test

int main(int argc, char** argv) {
  return node_test::RunAllTests(argc, argv);
}
