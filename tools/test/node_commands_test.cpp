// Each "bottom_operate" command against the real node executable and the simulated board: the
// board request field by field, the node's log and standard-output lines, and the service answer
// for the board's answers that end an exchange at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "board_sim/board_simulator.hpp"
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
    // Platform commands do not wait for an answer: one the board sent would be left in the link
    // and could be taken for the answer of a later command issued within the same second.
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
      const int32_t id = result.board.request.request_id();
      EXPECT_GE(id, before);  // the clock in whole seconds
      EXPECT_LE(id, after);
    }
    EXPECT_TRUE(node_->err().WaitFor(last_log, log_mark, 5s)) << "missing: " << last_log;
    EXPECT_TRUE(node_->out().WaitForSize(out_mark + out_lines, 5s));
    result.log = node_->err().LinesFrom(log_mark);
    result.out = node_->out().LinesFrom(out_mark);
    return result;
  }

  // A request with only the id and the fields set by fill.
  template <typename Fill>
  static cc::CleaningComponentRequest Expected(const CallResult& result, Fill fill) {
    cc::CleaningComponentRequest expected;
    expected.set_request_id(result.board.request.request_id());
    fill(expected);
    return expected;
  }

  // The size of the board's plain acceptance: the response id alone.
  static std::string AcceptedSize(const CallResult& result) {
    cc::CleaningComponentResponse answer;
    answer.set_response_id(result.board.request.request_id());
    return std::to_string(answer.ByteSizeLong());
  }

  static std::string ReceivedLine(const CallResult& result) {
    return "Rcv data from SendCleaningComponentRequest success, rsp datalen = " +
           AcceptedSize(result) + "request id : " + Id(result.board.request.request_id());
  }

  static void ExpectSuccess(const CallResult& result) {
    EXPECT_EQ(result.response.status, 0);
    EXPECT_EQ(result.response.message, "");
  }

  static inline std::unique_ptr<BoardSimulator> sim_;
  static inline std::unique_ptr<NodeProcess> node_;
  static inline std::unique_ptr<RosPeer> peer_;
  static inline std::string setup_failure_;
};

void SetMotor(velmoria_protocol::msg::MotorCmd& motor, int32_t cmd, int32_t duty) {
  motor.cmd = cmd;
  motor.duty = duty;
}

void SetBoardMotor(cc::MotorCommand* motor, int32_t cmd, int32_t duty) {
  motor->set_cmd(cmd);
  motor->set_duty(duty);
}

void SetLed(velmoria_protocol::msg::LedCmd& led, int32_t rgb, int32_t mode, int32_t interval) {
  led.r_g_b_duty = rgb;
  led.mode = mode;
  led.interval = interval;
}

void SetBoardLed(cc::LedBaseCommand* led, uint32_t rgb, int32_t mode, uint32_t interval) {
  led->set_r_g_b_duty(rgb);
  led->set_mode(static_cast<cc::LedMode>(mode));
  led->set_interval(interval);
}

// ---- Cleaning-component commands ----

TEST_F(NodeCommandsTest, DoProcterSendsToolsCleanAndWaterPumpsAndLogsTheirSettings) {
  auto request = RosPeer::Command(0);
  auto& component = request.component;
  SetMotor(component.motor_ctrl.tools_clean.motor, 1, 11);
  component.motor_ctrl.tools_clean.select = 2;
  SetMotor(component.water_supply.clean_pump.motor, 3, 22);
  component.water_supply.clean_pump.select = 4;
  SetMotor(component.water_supply.dirty_pump.motor, 1, 33);
  component.water_supply.dirty_pump.select = 8;
  // Not part of this command.
  SetMotor(component.motor_ctrl.camera_mask, 1, 5);
  SetMotor(component.water_supply.hand_pump, 1, 6);
  SetMotor(component.main_swp, 1, 7);

  const auto result = Call(request, "resp.has_error", 1);
  ASSERT_TRUE(result);
  ExpectSuccess(*result);
  EXPECT_EQ(result->board.link, Link::kProcter);
  EXPECT_TRUE(SameRequest(Expected(*result,
                                   [](cc::CleaningComponentRequest& r) {
                                     auto* tools = r.mutable_motor_ctrl()->mutable_tools_clean();
                                     SetBoardMotor(tools->mutable_motor(), 1, 11);
                                     tools->set_select(cc::MultiplexSelect_2);
                                     auto* clean = r.mutable_water_supply()->mutable_clean_pump();
                                     SetBoardMotor(clean->mutable_motor(), 3, 22);
                                     clean->set_select(cc::MultiplexSelect_3);
                                     auto* dirty = r.mutable_water_supply()->mutable_dirty_pump();
                                     SetBoardMotor(dirty->mutable_motor(), 1, 33);
                                     dirty->set_select(cc::MultiplexSelect_4);
                                   }),
                          result->board.request));
  const std::string id = Id(result->board.request.request_id());
  EXPECT_EQ(result->log,
            (std::vector<std::string>{
                "INFO DoProcter, request id : " + id,
                "INFO motor_ctrl.tools_clean.motor.cmd : 1",
                "INFO motor_ctrl.tools_clean.motor.duty : 11",
                "INFO motor_ctrl.tools_clean.select : 2",
                "INFO water_supply.clean_pump.motor.cmd : 3",
                "INFO water_supply.clean_pump.motor.duty : 22",
                "INFO water_supply.clean_pump.select : 4",
                "INFO water_supply.dirty_pump.motor.cmd : 1",
                "INFO water_supply.dirty_pump.motor.duty : 33",
                "INFO water_supply.dirty_pump.select : 8",
                "INFO BottomInteractHandle::SendCleaningComponentRequest request id : " + id,
                "INFO resp.has_error = 0, req_over_flag = 1, request id : " + id,
            }));
  EXPECT_EQ(result->out, std::vector<std::string>{ReceivedLine(*result)});
}

TEST_F(NodeCommandsTest, DoProcterWithZeroSettingsStillSendsAllNineValues) {
  const auto result = Call(RosPeer::Command(0), "resp.has_error");
  ASSERT_TRUE(result);
  ExpectSuccess(*result);
  EXPECT_TRUE(
      SameRequest(Expected(*result,
                           [](cc::CleaningComponentRequest& r) {
                             r.mutable_motor_ctrl()->mutable_tools_clean()->mutable_motor();
                             r.mutable_water_supply()->mutable_clean_pump()->mutable_motor();
                             r.mutable_water_supply()->mutable_dirty_pump()->mutable_motor();
                           }),
                  result->board.request));
}

TEST_F(NodeCommandsTest, DoProcterSmfSendsSixMotorsAndPrintsTheirSettings) {
  auto request = RosPeer::Command(12);
  auto& component = request.component;
  SetMotor(component.main_swp, 1, 10);
  SetMotor(component.side_swp, 3, 20);
  SetMotor(component.roll_mop, 1, 30);
  SetMotor(component.mop_pump, 1, 40);
  SetMotor(component.squeegee_fan, 3, 50);
  SetMotor(component.dust_tank_fan, 1, 60);
  const auto result = Call(request, "resp.has_error", 14);
  ASSERT_TRUE(result);
  ExpectSuccess(*result);
  EXPECT_TRUE(SameRequest(Expected(*result,
                                   [](cc::CleaningComponentRequest& r) {
                                     SetBoardMotor(r.mutable_main_swp(), 1, 10);
                                     SetBoardMotor(r.mutable_side_swp(), 3, 20);
                                     SetBoardMotor(r.mutable_roll_mop(), 1, 30);
                                     SetBoardMotor(r.mutable_mop_pump(), 1, 40);
                                     SetBoardMotor(r.mutable_squeegee_fan(), 3, 50);
                                     SetBoardMotor(r.mutable_dust_tank_fan(), 1, 60);
                                   }),
                          result->board.request));
  EXPECT_EQ(result->out, (std::vector<std::string>{
                             "BottomInteractHandle DoProcterSMF",
                             "side_swp.cmd : 3",
                             "side_swp.duty : 20",
                             "main_swp.cmd : 1",
                             "main_swp.duty : 10",
                             "squeegee_fan.cmd : 3",
                             "squeegee_fan.duty : 50",
                             "roll_mop.cmd : 1",
                             "roll_mop.duty : 30",
                             "mop_pump.cmd : 1",
                             "mop_pump.duty : 40",
                             "dust_tank_fan.cmd: 1",
                             "dust_tank_fan.duty: 60",
                             ReceivedLine(*result),
                         }));
  EXPECT_EQ(result->log.front(),
            "INFO DoProcterSMF, request id : " + Id(result->board.request.request_id()));
}

TEST_F(NodeCommandsTest, DoProcterSmfWithZeroSettingsSendsSixStopOrders) {
  const auto result = Call(RosPeer::Command(12), "resp.has_error");
  ASSERT_TRUE(result);
  EXPECT_TRUE(SameRequest(Expected(*result,
                                   [](cc::CleaningComponentRequest& r) {
                                     r.mutable_main_swp();
                                     r.mutable_side_swp();
                                     r.mutable_roll_mop();
                                     r.mutable_mop_pump();
                                     r.mutable_squeegee_fan();
                                     r.mutable_dust_tank_fan();
                                   }),
                          result->board.request));
}

TEST_F(NodeCommandsTest, HandEndToolPumpSendsTheHandPumpOnly) {
  auto request = RosPeer::Command(13);
  SetMotor(request.component.water_supply.hand_pump, 3, 70);
  SetMotor(request.component.water_supply.clean_pump.motor, 1, 1);
  const auto result = Call(request, "resp.has_error");
  ASSERT_TRUE(result);
  ExpectSuccess(*result);
  EXPECT_TRUE(SameRequest(Expected(*result,
                                   [](cc::CleaningComponentRequest& r) {
                                     SetBoardMotor(r.mutable_water_supply()->mutable_hand_pump(), 3,
                                                   70);
                                   }),
                          result->board.request));
  const std::string id = Id(result->board.request.request_id());
  EXPECT_EQ(result->log,
            (std::vector<std::string>{
                "INFO HandleEndToolPump, request id : " + id,
                "INFO water_supply.hand_pump.cmd : 3",
                "INFO water_supply.hand_pump.duty : 70",
                "INFO BottomInteractHandle::SendCleaningComponentRequest request id : " + id,
                "INFO resp.has_error = 0, req_over_flag = 1, request id : " + id,
            }));
}

TEST_F(NodeCommandsTest, DirtyTankSwitchSendsTheSwitchAndTheTankCleanPump) {
  auto request = RosPeer::Command(6);
  SetMotor(request.dirty_tank_switch, 1, 80);
  SetMotor(request.tank_clean_pump, 3, 90);
  const auto result = Call(request, "resp.has_error");
  ASSERT_TRUE(result);
  ExpectSuccess(*result);
  EXPECT_TRUE(SameRequest(Expected(*result,
                                   [](cc::CleaningComponentRequest& r) {
                                     SetBoardMotor(r.mutable_dirty_tank_switch(), 1, 80);
                                     SetBoardMotor(r.mutable_tank_clean_pump(), 3, 90);
                                   }),
                          result->board.request));
  EXPECT_EQ(result->log.front(),
            "INFO DirtyTankSwitch call, request id : " + Id(result->board.request.request_id()));
}

TEST_F(NodeCommandsTest, SelfCleanOnStartsBothPumpsWithTheirDefaultDuties) {
  auto request = RosPeer::Command(4);
  request.self_clean = true;
  request.self_clean_time = 120;
  const auto result = Call(request, "resp.has_error");
  ASSERT_TRUE(result);
  ExpectSuccess(*result);
  EXPECT_TRUE(SameRequest(Expected(*result,
                                   [](cc::CleaningComponentRequest& r) {
                                     r.mutable_self_clean()->set_cmd(cc::SELF_CLEAN_SOFTLY);
                                     r.mutable_self_clean()->set_time(120);
                                     SetBoardMotor(r.mutable_mop_pump(), 1, 40);
                                     SetBoardMotor(r.mutable_self_clean_pump(), 1, 20);
                                   }),
                          result->board.request));
  EXPECT_EQ(result->log.front(), "INFO OperateSelfCleanDuringWork, request id : " +
                                     Id(result->board.request.request_id()));
}

TEST_F(NodeCommandsTest, SelfCleanOffSendsNoPump) {
  auto request = RosPeer::Command(4);
  request.self_clean = false;
  request.self_clean_time = 45;
  const auto result = Call(request, "resp.has_error");
  ASSERT_TRUE(result);
  ExpectSuccess(*result);
  EXPECT_TRUE(SameRequest(Expected(*result,
                                   [](cc::CleaningComponentRequest& r) {
                                     r.mutable_self_clean()->set_cmd(cc::SELF_CLEAN_NONE);
                                     r.mutable_self_clean()->set_time(45);
                                   }),
                          result->board.request));
}

// ---- Light commands ----

TEST_F(NodeCommandsTest, OperateLightSendsTopLedAndOnlyColouredOthers) {
  auto request = RosPeer::Command(2);
  SetLed(request.top_led, 0x11223344, 2, 500);
  SetLed(request.bottom_led, 0x0000ff10, 1, 0);
  SetLed(request.turn_left, 0, 3, 250);  // no colour: left out despite mode and interval
  SetLed(request.turn_right, 0x00ff0020, 3, 300);
  SetLed(request.forward_led, 0x1, 1, 1);  // not this command's light
  const auto result = Call(request, "CleanCompReq request id");
  ASSERT_TRUE(result);
  ExpectSuccess(*result);
  EXPECT_EQ(result->board.link, Link::kLight);
  EXPECT_TRUE(SameRequest(Expected(*result,
                                   [](cc::CleaningComponentRequest& r) {
                                     auto* led = r.mutable_led_cmd();
                                     SetBoardLed(led->mutable_top_led(), 0x11223344, 2, 500);
                                     SetBoardLed(led->mutable_bottom_led(), 0x0000ff10, 1, 0);
                                     SetBoardLed(led->mutable_turn_right(), 0x00ff0020, 3, 300);
                                   }),
                          result->board.request));
  const std::string id = Id(result->board.request.request_id());
  EXPECT_EQ(result->log, (std::vector<std::string>{
                             "INFO OperateLight, request id : " + id,
                             "INFO BottomInteractHandle::CleanCompReq request id : " + id,
                         }));
}

TEST_F(NodeCommandsTest, OperateLightSendsAnAllZeroTopLed) {
  const auto result = Call(RosPeer::Command(2), "CleanCompReq request id");
  ASSERT_TRUE(result);
  ExpectSuccess(*result);
  EXPECT_TRUE(SameRequest(
      Expected(*result,
               [](cc::CleaningComponentRequest& r) { r.mutable_led_cmd()->mutable_top_led(); }),
      result->board.request));
}

TEST_F(NodeCommandsTest, ProjectionLightSendsBothLightsAndZeroesOneWithoutColour) {
  auto request = RosPeer::Command(14);
  SetLed(request.forward_led, 0, 2, 700);  // no colour: sent as all zeros
  SetLed(request.backward_led, 0x7f7f7f7f, 4, 90);
  SetLed(request.top_led, 0x1, 1, 1);  // not this command's light
  const auto result = Call(request, "CleanCompReq request id");
  ASSERT_TRUE(result);
  ExpectSuccess(*result);
  EXPECT_EQ(result->board.link, Link::kLight);
  EXPECT_TRUE(SameRequest(Expected(*result,
                                   [](cc::CleaningComponentRequest& r) {
                                     auto* led = r.mutable_led_cmd();
                                     led->mutable_forward_led();
                                     SetBoardLed(led->mutable_backward_led(), 0x7f7f7f7f, 4, 90);
                                   }),
                          result->board.request));
}

TEST_F(NodeCommandsTest, FillLightReportsOnAndOffOnlyForCommandNine) {
  auto on = RosPeer::Command(9);
  SetLed(on.fill_light_led, 0x00ffffff, 3, 100);
  SetLed(on.top_led, 0x1, 1, 1);  // not this command's light
  const auto switched_on = Call(on, "CleanCompReq request id");
  ASSERT_TRUE(switched_on);
  ExpectSuccess(*switched_on);
  const std::string id = Id(switched_on->board.request.request_id());
  EXPECT_EQ(switched_on->log, (std::vector<std::string>{
                                  "INFO FillLight, request id : " + id,
                                  "INFO BottomInteractHandle::CleanCompReq request id : " + id,
                              }));
  EXPECT_TRUE(SameRequest(Expected(*switched_on,
                                   [](cc::CleaningComponentRequest& r) {
                                     SetBoardLed(r.mutable_led_cmd()->mutable_fill_light_led(),
                                                 0x00ffffff, 3, 100);
                                   }),
                          switched_on->board.request));

  // Command 11 sends the same light and reports nothing.
  sim_->ClearRecord();
  auto eleven = on;
  eleven.cmd = 11;
  const auto unreported = Call(eleven, "CleanCompReq request id");
  ASSERT_TRUE(unreported);
  ExpectSuccess(*unreported);
  auto same_light = switched_on->board.request;
  same_light.set_request_id(unreported->board.request.request_id());
  EXPECT_TRUE(SameRequest(same_light, unreported->board.request));

  sim_->ClearRecord();
  auto off = RosPeer::Command(9);
  SetLed(off.fill_light_led, 0x00ffffff, 0, 100);
  const auto switched_off = Call(off, "CleanCompReq request id");
  ASSERT_TRUE(switched_off);
  ExpectSuccess(*switched_off);

  const auto events = peer_->robot_events().WaitFor(2);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].event_type, 7);
  EXPECT_EQ(events[0].event_code, 70004);
  EXPECT_EQ(events[1].event_type, 7);
  EXPECT_EQ(events[1].event_code, 70005);
}

// ---- Station, platform and wheel commands ----

TEST_F(NodeCommandsTest, ChargingStationQuerySendsTheStationCommand) {
  auto request = RosPeer::Command(3);
  request.station.cmd = 2;
  const auto result = Call(request, "resp.has_error");
  ASSERT_TRUE(result);
  ExpectSuccess(*result);  // whatever the board says about abutment and charging
  EXPECT_TRUE(SameRequest(
      Expected(*result, [](cc::CleaningComponentRequest& r) { r.mutable_station()->set_cmd(2); }),
      result->board.request));
  EXPECT_EQ(result->log.front(), "INFO Query charging station status, request id : " +
                                     Id(result->board.request.request_id()));
}

TEST_F(NodeCommandsTest, PlatformCommandIsSentWithoutWaiting) {
  auto request = RosPeer::Command(5);
  request.plt_cmd = 4;
  const auto result = Call(request, "CleanCompReq request id");
  ASSERT_TRUE(result);
  ExpectSuccess(*result);  // the board has not answered (silent)
  EXPECT_EQ(result->board.link, Link::kProcter);
  EXPECT_TRUE(
      SameRequest(Expected(*result, [](cc::CleaningComponentRequest& r) { r.set_plt_cmd(4); }),
                  result->board.request));
  const std::string id = Id(result->board.request.request_id());
  EXPECT_EQ(result->log, (std::vector<std::string>{
                             "INFO SingleChipReboot, plt cmd 4, request id : " + id,
                             "INFO BottomInteractHandle::CleanCompReq request id : " + id,
                         }));
}

TEST_F(NodeCommandsTest, BumpUnlockAlwaysSendsWheelUnlock) {
  auto request = RosPeer::Command(7);
  request.wheel_cmd = 5;
  const auto result = Call(request, "resp.has_error");
  ASSERT_TRUE(result);
  ExpectSuccess(*result);
  EXPECT_TRUE(SameRequest(Expected(*result,
                                   [](cc::CleaningComponentRequest& r) {
                                     r.mutable_wheel_cmd()->set_cmd(cc::WheelCmd_Unlock);
                                   }),
                          result->board.request));
  EXPECT_EQ(result->log.front(), "INFO BottomInteractHandle::BumpUnlock, request id : " +
                                     Id(result->board.request.request_id()));
}

TEST_F(NodeCommandsTest, WheelCommandSendsTheRequestedWheelCommand) {
  auto request = RosPeer::Command(8);
  request.wheel_cmd = 6;
  const auto result = Call(request, "procterRsp.has_error", 1);
  ASSERT_TRUE(result);
  ExpectSuccess(*result);
  EXPECT_TRUE(SameRequest(Expected(*result,
                                   [](cc::CleaningComponentRequest& r) {
                                     r.mutable_wheel_cmd()->set_cmd(cc::WheelCmd_Disable_All_Brake);
                                   }),
                          result->board.request));
  EXPECT_EQ(result->log,
            (std::vector<std::string>{"INFO WheelCommand call",
                                      "INFO procterRsp.has_error = 0, procter_flag = 1"}));
  EXPECT_EQ(result->out,
            std::vector<std::string>{"Rcv data from WheelCommand success, rsp datalen = " +
                                     AcceptedSize(*result)});
}

TEST_F(NodeCommandsTest, WheelCommandMapsBoardErrorsToItsOwnStatus) {
  for (const auto& [err_code, status] :
       std::vector<std::pair<int32_t, int32_t>>{{1, 3}, {2, 2}, {7, 1}}) {
    sim_->SetScenario(CommandKind::kWheel, Scenario::Error(err_code));
    sim_->ClearRecord();
    auto request = RosPeer::Command(8);
    request.wheel_cmd = 2;
    const auto result = Call(request, "procterRsp.has_error");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->response.status, status) << "board error " << err_code;
    EXPECT_EQ(result->response.message, "do WheelCommand fail");
    EXPECT_EQ(result->log,
              (std::vector<std::string>{
                  "INFO WheelCommand call",
                  "ERROR ErrorCode: 100400014, WheelCommand processing failed right now",
                  "INFO procterRsp.has_error = 1, procter_flag = 0",
              }));
  }
}

TEST_F(NodeCommandsTest, VersionQueryAnswersTheFirmwareVersion) {
  sim_->SetScenario(CommandKind::kVersion, Scenario::Version("fw 3.1.4-rc2"));
  auto request = RosPeer::Command(10);
  request.plt_cmd = 3;  // ignored: the query always asks for the version
  const auto result = Call(request, "resp.has_error");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->response.status, 0);
  EXPECT_EQ(result->response.message, "fw 3.1.4-rc2");
  EXPECT_TRUE(SameRequest(
      Expected(*result,
               [](cc::CleaningComponentRequest& r) { r.set_plt_cmd(cc::PltCmd_Get_Version); }),
      result->board.request));
  // The exchange's own line comes first: the version query logs none of its own.
  EXPECT_EQ(result->log.front(),
            "INFO BottomInteractHandle::SendCleaningComponentRequest request id : " +
                Id(result->board.request.request_id()));
}

TEST_F(NodeCommandsTest, VersionQueryFailureReplacesTheExchangeAnswer) {
  sim_->SetScenario(CommandKind::kVersion, Scenario::Error(2));
  const auto result = Call(RosPeer::Command(10), "SendCleaningComponentRequest failed, request id");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->response.status, 1);
  EXPECT_EQ(result->response.message, "fail to get version");
}

// ---- Board answers that end an exchange at once ----

TEST_F(NodeCommandsTest, BoardErrorCodeIsTheServiceStatus) {
  for (const int32_t err_code : {1, 2, 9}) {
    sim_->SetScenario(CommandKind::kDirtyTank, Scenario::Error(err_code));
    sim_->ClearRecord();
    const auto result =
        Call(RosPeer::Command(6), "SendCleaningComponentRequest failed, request id");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->response.status, err_code);
    EXPECT_EQ(result->response.message, "SendCleaningComponentRequest failed");
    const std::string id = Id(result->board.request.request_id());
    EXPECT_EQ(
        std::vector<std::string>(result->log.end() - 3, result->log.end()),
        (std::vector<std::string>{
            "ERROR ErrorCode: 100400014, SendCleaningComponentRequest processing failed "
            "right now, request id : " +
                id,
            "INFO resp.has_error = 1, req_over_flag = 0, request id : " + id,
            "ERROR ErrorCode: 100400015, SendCleaningComponentRequest failed, request id : " + id,
        }));
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

TEST_F(NodeCommandsTest, UnparseableOrOversizeAnswerFailsTheCommandAtOnce) {
  for (const auto kind : {Scenario::Kind::kGarbage, Scenario::Kind::kOversize}) {
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
              1)
        << Scenario::Of(kind).ToString();
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
