#include "bottom_interact_center/bottom_interact_handle.hpp"

#include <chrono>
#include <iostream>
#include <stdexcept>
#include <thread>

#include "bottom_interact_center/board_frame.hpp"
#include "bottom_interact_center/bottom_interact_center.hpp"
#include "bottom_interact_center/constants.hpp"

namespace bottom_interact_center {

namespace cc = cleaning_component;
using velmoria_protocol::msg::LedCmd;
using velmoria_protocol::msg::MotorCmd;
using velmoria_protocol::msg::MultiplexMotorCmd;

// The log and standard-output texts of one kind of exchange. The error formats take the code and
// then the value and the request id; a format without a second placeholder ignores the id.
struct BottomInteractHandle::ExchangeTexts {
  const char* send_failed;        // send result, request id
  const char* receive_failed;     // receive count, request id
  const char* frame_received;     // standard output, followed by the payload length
  bool frame_received_names_id;   // ... and then by "request id : " and the id
  const char* parse_failed;       // request id
  const char* other_id;           // INFO: response id, request id
  const char* processing_failed;  // request id
  const char* summary;            // INFO: has error, answered, request id
};

namespace {

constexpr int kSerializeFailed = 100400009;
constexpr int kSendFailed = 100400011;
constexpr int kReceiveFailed = 100400012;
constexpr int kParseFailed = 100400013;
constexpr int kBoardError = 100400014;
constexpr int kExchangeFailed = 100400015;
constexpr int kExchangeTimeout = 100400016;

constexpr int kLongTimeoutSeconds = 30;
constexpr int kShortTimeoutSeconds = 10;
constexpr int32_t kStatusLocalFailure = 1;
constexpr int32_t kPumpStartForward = cc::MotorCmd_START_FORWARD;
constexpr int32_t kDefaultMopPumpDuty = 40;
constexpr int32_t kFillLightOnEvent = 70004;
constexpr int32_t kFillLightOffEvent = 70005;
// A pass of an exchange that failed at once starts again no sooner than this after the last one.
constexpr std::chrono::milliseconds kFailedPassPeriod{100};

rclcpp::Logger Logger() {
  return g_node->get_logger();
}

// A board that is down refuses a connection at once: without the pause the exchange would retry
// back to back for its whole time-out, each attempt logged and published as a link-lost event.
// A pass that already waited (a receive time-out) is not held up.
void PaceFailedPass(std::chrono::steady_clock::time_point pass_start) {
  std::this_thread::sleep_until(pass_start + kFailedPassPeriod);
}

// A board request with a new id on the link, announced as "<command>, request id : <id>".
cc::CleaningComponentRequest NewBoardRequest(const std::string& command, BoardLink& link) {
  cc::CleaningComponentRequest board_request;
  board_request.set_request_id(link.NewRequestId());
  RCLCPP_INFO(Logger(), "%s, request id : %d", command.c_str(), board_request.request_id());
  return board_request;
}

void CopyMotor(const MotorCmd& from, cc::MotorCommand* to) {
  to->set_cmd(from.cmd);
  to->set_duty(from.duty);
}

void CopyMultiplexMotor(const MultiplexMotorCmd& from, cc::MultiplexMotor* to) {
  CopyMotor(from.motor, to->mutable_motor());
  to->set_select(static_cast<cc::MultiplexSelectEnum>(from.select));
}

void CopyLed(const LedCmd& from, cc::LedBaseCommand* to) {
  to->set_r_g_b_duty(static_cast<uint32_t>(from.r_g_b_duty));
  to->set_mode(static_cast<cc::LedMode>(from.mode));
  to->set_interval(static_cast<uint32_t>(from.interval));
}

void LogMultiplexMotor(const char* name, const MultiplexMotorCmd& motor) {
  RCLCPP_INFO(Logger(), "%s.motor.cmd : %d", name, motor.motor.cmd);
  RCLCPP_INFO(Logger(), "%s.motor.duty : %d", name, motor.motor.duty);
  RCLCPP_INFO(Logger(), "%s.select : %d", name, motor.select);
}

// A line goes out in one write, so lines of another thread cannot cut into it.
void PrintLine(const std::string& line) {
  std::cout << line + "\n" << std::flush;
}

void PrintMotor(const char* cmd_label, const char* duty_label, const MotorCmd& motor) {
  PrintLine(cmd_label + std::to_string(motor.cmd));
  PrintLine(duty_label + std::to_string(motor.duty));
}

// A number as std::stoll reads it from a string parameter, or an integer parameter as it is.
bool ReadNumber(const rclcpp::ParameterValue& value, int64_t* number) {
  switch (value.get_type()) {
    case rclcpp::ParameterType::PARAMETER_INTEGER:
      *number = value.get<int64_t>();
      return true;
    case rclcpp::ParameterType::PARAMETER_STRING:
      try {
        *number = std::stoll(value.get<std::string>());
        return true;
      } catch (const std::logic_error&) {  // no digits, or outside the 64-bit range
        return false;
      }
    default:
      return false;
  }
}

// The mop pump's duty while self-cleaning: the low 32 bits of "mop_pump", 40 when it is absent or
// not a number. The parameter is not declared, so a start-up value is read from the overrides.
int32_t MopPumpDuty() {
  rclcpp::ParameterValue value;
  if (!g_node->GetParameterOrOverride(kMopPumpParam, &value)) {
    return kDefaultMopPumpDuty;
  }
  int64_t duty = 0;
  if (!ReadNumber(value, &duty)) {
    RCLCPP_ERROR(Logger(), "ErrorCode: %d, parameter %s is not a number, using mop pump duty %d",
                 kParameterRejected, kMopPumpParam, kDefaultMopPumpDuty);
    return kDefaultMopPumpDuty;
  }
  return static_cast<int32_t>(static_cast<uint32_t>(duty));
}

int32_t SelfCleanPumpDuty() {
  int64_t duty = kDefaultSelfCleanPumpDuty;
  g_node->get_parameter(kSelfCleanPumpParam, duty);
  return static_cast<int32_t>(duty);
}

}  // namespace

const BottomInteractHandle::ExchangeTexts BottomInteractHandle::kRequestTexts{
    "ErrorCode: %d, SendCleaningComponentRequest exchange failed, exchange:%d, request id : %d",
    "ErrorCode: %d, SendCleaningComponentRequest response failed, rcvlen : %d, request id : %d",
    "Rcv data from SendCleaningComponentRequest success, rsp datalen = ",
    true,
    "ErrorCode: %d, Deserialize response from SendCleaningComponentRequest failed, request_id : %d",
    "Recv data not this request, rcv request id : %d, current request id : %d",
    "ErrorCode: %d, SendCleaningComponentRequest processing failed right now, request id : %d",
    "resp.has_error = %d, req_over_flag = %d, request id : %d",
};

const BottomInteractHandle::ExchangeTexts BottomInteractHandle::kWheelTexts{
    "ErrorCode: %d, ProcterTreeNode::WheelCommand exchange failed, exchange: %d",
    "ErrorCode: %d, WheelCommand response failed, rcvlen: %d",
    "Rcv data from WheelCommand success, rsp datalen = ",
    false,
    "ErrorCode: %d, Deserialize response from WheelCommand failed",
    "Recv data not this request",
    "ErrorCode: %d, WheelCommand processing failed right now",
    "procterRsp.has_error = %d, procter_flag = %d",
};

BottomInteractHandle::BottomInteractHandle()
    : procter_link_(procter_mutex_, g_node->GetProcterClient(), BoardLink::Answers::kAwaited,
                    "Procter link"),
      light_link_(light_mutex_, g_node->GetLightClient(), BoardLink::Answers::kDrained,
                  "Light link") {
  using std::placeholders::_1;
  using std::placeholders::_2;
  cmd_handlers_ = {
      {0, std::bind(&BottomInteractHandle::DoProcter, this, _1, _2)},
      {2, std::bind(&BottomInteractHandle::OperateLight, this, _1, _2)},
      {3, std::bind(&BottomInteractHandle::QueryChargingStation, this, _1, _2)},
      {4, std::bind(&BottomInteractHandle::OperateSelfCleanDuringWork, this, _1, _2)},
      {5, std::bind(&BottomInteractHandle::DistributePltCmd, this, _1, _2)},
      {6, std::bind(&BottomInteractHandle::DirtyTankSwitch, this, _1, _2)},
      {7, std::bind(&BottomInteractHandle::BumpUnlock, this, _1, _2)},
      {8, std::bind(&BottomInteractHandle::WheelCommand, this, _1, _2)},
      {9, std::bind(&BottomInteractHandle::FillLight, this, _1, _2, true)},
      {10, std::bind(&BottomInteractHandle::QueryVersion, this, _1, _2)},
      {11, std::bind(&BottomInteractHandle::FillLight, this, _1, _2, false)},
      {12, std::bind(&BottomInteractHandle::DoProcterSMF, this, _1, _2)},
      {13, std::bind(&BottomInteractHandle::HandleEndToolPump, this, _1, _2)},
      {14, std::bind(&BottomInteractHandle::OperateProjectionLight, this, _1, _2)},
  };
}

bool BottomInteractHandle::DispatchCmd(std::shared_ptr<Request> request,
                                       std::shared_ptr<Response> response) {
  const auto found = cmd_handlers_.find(request->cmd);
  if (found == cmd_handlers_.end()) {
    SetResponse(response, kStatusLocalFailure, "Unsupported Cmd");
    return false;
  }
  const CmdHandler handler = found->second;
  return handler(request, response);
}

void BottomInteractHandle::SetResponse(std::shared_ptr<Response> response, int32_t status,
                                       const std::string& message) {
  response->status = status;
  response->message = message;
}

int32_t BottomInteractHandle::ToServiceStatus(int32_t err_code) {
  switch (err_code) {
    case cc::Success:
      return 0;
    case cc::ProcterFailed:
      return 3;
    case cc::InBumperTrig:
      return 2;
    default:
      return 1;
  }
}

// ---- Cleaning-component commands ----

bool BottomInteractHandle::DoProcter(std::shared_ptr<Request> request,
                                     std::shared_ptr<Response> response) {
  const auto lock = procter_link_.Lock();
  const auto& component = request->component;
  cc::CleaningComponentRequest board_request = NewBoardRequest("DoProcter", procter_link_);
  CopyMultiplexMotor(component.motor_ctrl.tools_clean,
                     board_request.mutable_motor_ctrl()->mutable_tools_clean());
  CopyMultiplexMotor(component.water_supply.clean_pump,
                     board_request.mutable_water_supply()->mutable_clean_pump());
  CopyMultiplexMotor(component.water_supply.dirty_pump,
                     board_request.mutable_water_supply()->mutable_dirty_pump());
  LogMultiplexMotor("motor_ctrl.tools_clean", component.motor_ctrl.tools_clean);
  LogMultiplexMotor("water_supply.clean_pump", component.water_supply.clean_pump);
  LogMultiplexMotor("water_supply.dirty_pump", component.water_supply.dirty_pump);
  return ExchangeOnProcterLink(board_request, kLongTimeoutSeconds, response);
}

bool BottomInteractHandle::DoProcterSMF(std::shared_ptr<Request> request,
                                        std::shared_ptr<Response> response) {
  const auto lock = procter_link_.Lock();
  cc::CleaningComponentRequest board_request = NewBoardRequest("DoProcterSMF", procter_link_);
  const auto& component = request->component;
  PrintLine("BottomInteractHandle DoProcterSMF");
  PrintMotor("side_swp.cmd : ", "side_swp.duty : ", component.side_swp);
  PrintMotor("main_swp.cmd : ", "main_swp.duty : ", component.main_swp);
  PrintMotor("squeegee_fan.cmd : ", "squeegee_fan.duty : ", component.squeegee_fan);
  PrintMotor("roll_mop.cmd : ", "roll_mop.duty : ", component.roll_mop);
  PrintMotor("mop_pump.cmd : ", "mop_pump.duty : ", component.mop_pump);
  PrintMotor("dust_tank_fan.cmd: ", "dust_tank_fan.duty: ", component.dust_tank_fan);
  CopyMotor(component.main_swp, board_request.mutable_main_swp());
  CopyMotor(component.side_swp, board_request.mutable_side_swp());
  CopyMotor(component.roll_mop, board_request.mutable_roll_mop());
  CopyMotor(component.mop_pump, board_request.mutable_mop_pump());
  CopyMotor(component.squeegee_fan, board_request.mutable_squeegee_fan());
  CopyMotor(component.dust_tank_fan, board_request.mutable_dust_tank_fan());
  return ExchangeOnProcterLink(board_request, kLongTimeoutSeconds, response);
}

bool BottomInteractHandle::HandleEndToolPump(std::shared_ptr<Request> request,
                                             std::shared_ptr<Response> response) {
  const auto lock = procter_link_.Lock();
  const auto& hand_pump = request->component.water_supply.hand_pump;
  cc::CleaningComponentRequest board_request = NewBoardRequest("HandleEndToolPump", procter_link_);
  CopyMotor(hand_pump, board_request.mutable_water_supply()->mutable_hand_pump());
  RCLCPP_INFO(Logger(), "water_supply.hand_pump.cmd : %d", hand_pump.cmd);
  RCLCPP_INFO(Logger(), "water_supply.hand_pump.duty : %d", hand_pump.duty);
  return ExchangeOnProcterLink(board_request, kLongTimeoutSeconds, response);
}

bool BottomInteractHandle::DirtyTankSwitch(std::shared_ptr<Request> request,
                                           std::shared_ptr<Response> response) {
  const auto lock = procter_link_.Lock();
  cc::CleaningComponentRequest board_request =
      NewBoardRequest("DirtyTankSwitch call", procter_link_);
  CopyMotor(request->dirty_tank_switch, board_request.mutable_dirty_tank_switch());
  CopyMotor(request->tank_clean_pump, board_request.mutable_tank_clean_pump());
  return ExchangeOnProcterLink(board_request, kLongTimeoutSeconds, response);
}

bool BottomInteractHandle::OperateSelfCleanDuringWork(std::shared_ptr<Request> request,
                                                      std::shared_ptr<Response> response) {
  const auto lock = procter_link_.Lock();
  cc::CleaningComponentRequest board_request =
      NewBoardRequest("OperateSelfCleanDuringWork", procter_link_);
  auto* self_clean = board_request.mutable_self_clean();
  if (request->self_clean) {
    self_clean->set_cmd(cc::SELF_CLEAN_SOFTLY);
    board_request.mutable_mop_pump()->set_cmd(kPumpStartForward);
    board_request.mutable_mop_pump()->set_duty(MopPumpDuty());
    board_request.mutable_self_clean_pump()->set_cmd(kPumpStartForward);
    board_request.mutable_self_clean_pump()->set_duty(SelfCleanPumpDuty());
  } else {
    self_clean->set_cmd(cc::SELF_CLEAN_NONE);
  }
  self_clean->set_time(request->self_clean_time);
  return ExchangeOnProcterLink(board_request, kShortTimeoutSeconds, response);
}

// ---- Light commands ----

bool BottomInteractHandle::OperateLight(std::shared_ptr<Request> request,
                                        std::shared_ptr<Response> response) {
  const auto lock = light_link_.Lock();
  cc::CleaningComponentRequest board_request = NewBoardRequest("OperateLight", light_link_);
  auto* led = board_request.mutable_led_cmd();
  CopyLed(request->top_led, led->mutable_top_led());
  // The bottom and turn lights travel only when they carry a colour.
  if (request->bottom_led.r_g_b_duty != 0) {
    CopyLed(request->bottom_led, led->mutable_bottom_led());
  }
  if (request->turn_left.r_g_b_duty != 0) {
    CopyLed(request->turn_left, led->mutable_turn_left());
  }
  if (request->turn_right.r_g_b_duty != 0) {
    CopyLed(request->turn_right, led->mutable_turn_right());
  }
  return SendOnLink(light_link_, board_request, response);
}

bool BottomInteractHandle::OperateProjectionLight(std::shared_ptr<Request> request,
                                                  std::shared_ptr<Response> response) {
  const auto lock = light_link_.Lock();
  cc::CleaningComponentRequest board_request =
      NewBoardRequest("OperateProjectionLight", light_link_);
  auto* led = board_request.mutable_led_cmd();
  // Both projection lights always travel; one without a colour is sent switched off.
  const LedCmd off;
  CopyLed(request->forward_led.r_g_b_duty != 0 ? request->forward_led : off,
          led->mutable_forward_led());
  CopyLed(request->backward_led.r_g_b_duty != 0 ? request->backward_led : off,
          led->mutable_backward_led());
  return SendOnLink(light_link_, board_request, response);
}

bool BottomInteractHandle::FillLight(std::shared_ptr<Request> request,
                                     std::shared_ptr<Response> response, const bool& report_event) {
  const auto lock = light_link_.Lock();
  cc::CleaningComponentRequest board_request = NewBoardRequest("FillLight", light_link_);
  CopyLed(request->fill_light_led, board_request.mutable_led_cmd()->mutable_fill_light_led());
  if (!SendOnLink(light_link_, board_request, response)) {
    return false;
  }
  if (report_event) {
    g_node->PublishRobotEvent(request->fill_light_led.mode != 0 ? kFillLightOnEvent
                                                                : kFillLightOffEvent);
  }
  return true;
}

// ---- Station, platform and wheel commands ----

bool BottomInteractHandle::QueryChargingStation(std::shared_ptr<Request> request,
                                                std::shared_ptr<Response> response) {
  const auto lock = procter_link_.Lock();
  cc::CleaningComponentRequest board_request =
      NewBoardRequest("Query charging station status", procter_link_);
  board_request.mutable_station()->set_cmd(request->station.cmd);
  return ExchangeOnProcterLink(board_request, kShortTimeoutSeconds, response);
}

bool BottomInteractHandle::DistributePltCmd(std::shared_ptr<Request> request,
                                            std::shared_ptr<Response> response) {
  const auto lock = procter_link_.Lock();
  cc::CleaningComponentRequest board_request = NewBoardRequest(
      "SingleChipReboot, plt cmd " + std::to_string(request->plt_cmd), procter_link_);
  board_request.set_plt_cmd(request->plt_cmd);
  // Any answer stays in the link and is skipped by the next exchange's id check.
  return SendOnLink(procter_link_, board_request, response);
}

bool BottomInteractHandle::BumpUnlock(std::shared_ptr<Request> /*request*/,
                                      std::shared_ptr<Response> response) {
  const auto lock = procter_link_.Lock();
  cc::CleaningComponentRequest board_request =
      NewBoardRequest("BottomInteractHandle::BumpUnlock", procter_link_);
  board_request.mutable_wheel_cmd()->set_cmd(cc::WheelCmd_Unlock);
  return ExchangeOnProcterLink(board_request, kShortTimeoutSeconds, response);
}

bool BottomInteractHandle::QueryVersion(std::shared_ptr<Request> /*request*/,
                                        std::shared_ptr<Response> response) {
  const auto lock = procter_link_.Lock();
  cc::CleaningComponentRequest board_request;
  cc::CleaningComponentResponse board_response;
  board_request.set_request_id(procter_link_.NewRequestId());
  board_request.set_plt_cmd(cc::PltCmd_Get_Version);
  if (!CleanCompReqNeedResp(procter_link_.client(), board_request, board_response,
                            kLongTimeoutSeconds, response->status, response->message)) {
    SetResponse(response, kStatusLocalFailure, "fail to get version");
    return false;
  }
  // The version text ends at its first zero byte.
  SetResponse(response, 0, board_response.version().release_version().c_str());
  return true;
}

bool BottomInteractHandle::WheelCommand(std::shared_ptr<Request> request,
                                        std::shared_ptr<Response> response) {
  RCLCPP_INFO(Logger(), "WheelCommand call");
  const auto lock = procter_link_.Lock();
  const int32_t request_id = procter_link_.NewRequestId();
  cc::CleaningComponentRequest board_request;
  board_request.set_request_id(request_id);
  board_request.mutable_wheel_cmd()->set_cmd(static_cast<cc::WheelCommandEnum>(request->wheel_cmd));
  std::vector<uint8_t> frame;
  if (!BoardFrame::Encode(board_request, &frame)) {
    RCLCPP_ERROR(Logger(), "ErrorCode: %d, CleaningComponentRequest serialize failed",
                 kSerializeFailed);
    SetResponse(response, kStatusLocalFailure, "CleaningComponentRequest serialize failed");
    return false;
  }
  cc::CleaningComponentResponse board_response;
  if (!AwaitAnswer(*procter_link_.client(), frame, request_id, kLongTimeoutSeconds, kWheelTexts,
                   board_response)) {
    SetResponse(response, ToServiceStatus(board_response.error().err_code()),
                "do WheelCommand fail");
    return false;
  }
  SetResponse(response, 0, "");
  return true;
}

// ---- Board exchanges ----

bool BottomInteractHandle::ExchangeOnProcterLink(const cc::CleaningComponentRequest& request,
                                                 int timeout_s,
                                                 std::shared_ptr<Response> response) {
  cc::CleaningComponentResponse board_response;
  if (!CleanCompReqNeedResp(procter_link_.client(), request, board_response, timeout_s,
                            response->status, response->message)) {
    return false;
  }
  SetResponse(response, 0, "");
  return true;
}

bool BottomInteractHandle::SendOnLink(BoardLink& link, const cc::CleaningComponentRequest& request,
                                      std::shared_ptr<Response> response) {
  if (!CleanCompReq(link.client(), request, response->status, response->message)) {
    return false;
  }
  SetResponse(response, 0, "");
  return true;
}

bool BottomInteractHandle::CleanCompReqNeedResp(std::shared_ptr<TcpClient> client,
                                                const cc::CleaningComponentRequest& request,
                                                cc::CleaningComponentResponse& response,
                                                int timeout_s, int32_t& status,
                                                std::string& message) {
  const int32_t request_id = request.request_id();
  RCLCPP_INFO(Logger(), "BottomInteractHandle::SendCleaningComponentRequest request id : %d",
              request_id);
  std::vector<uint8_t> frame;
  if (!BoardFrame::Encode(request, &frame)) {
    status = kStatusLocalFailure;
    message = "req serialize failed";
    RCLCPP_ERROR(Logger(), "ErrorCode: %d, req serialize failed request id : %d", kSerializeFailed,
                 request_id);
    return false;
  }
  if (!AwaitAnswer(*client, frame, request_id, timeout_s, kRequestTexts, response)) {
    if (rclcpp::ok()) {  // else the exchange was given up for the stop, not failed
      RCLCPP_ERROR(Logger(), "ErrorCode: %d, SendCleaningComponentRequest failed, request id : %d",
                   kExchangeFailed, request_id);
    }
    status = response.error().err_code();
    message = "SendCleaningComponentRequest failed";
    return false;
  }
  return true;
}

bool BottomInteractHandle::CleanCompReq(std::shared_ptr<TcpClient> client,
                                        const cc::CleaningComponentRequest& request,
                                        int32_t& status, std::string& message) {
  const int32_t request_id = request.request_id();
  RCLCPP_INFO(Logger(), "BottomInteractHandle::CleanCompReq request id : %d", request_id);
  std::vector<uint8_t> frame;
  if (!BoardFrame::Encode(request, &frame)) {
    RCLCPP_ERROR(Logger(), "ErrorCode: %d, req serialize failed, request id : %d", kSerializeFailed,
                 request_id);
    status = kStatusLocalFailure;
    message = "req serialize failed";
    return false;
  }
  if (!client->SendData(frame.data(), static_cast<unsigned>(frame.size()))) {
    if (rclcpp::ok()) {  // else the send was cut short by the stop, not failed
      RCLCPP_ERROR(Logger(), "ErrorCode: %d, CleanCompReq send failed, request id : %d",
                   kSendFailed, request_id);
    }
    status = kStatusLocalFailure;
    message = "CleanCompReq send failed";
    return false;
  }
  return true;
}

bool BottomInteractHandle::AwaitAnswer(TcpClient& link, const std::vector<uint8_t>& frame,
                                       int32_t request_id, int timeout_s,
                                       const ExchangeTexts& texts,
                                       cc::CleaningComponentResponse& response) {
  bool need_send = true;
  bool req_over_flag = false;
  const auto start = std::chrono::system_clock::now();
  // The time-out is checked once per pass; a pass can block for one receive time-out.
  while (true) {
    if (!rclcpp::ok()) {
      // The process is stopping: nobody waits for the answer any more.
      RCLCPP_INFO(Logger(), "Board exchange given up, ROS is shutting down, request id : %d",
                  request_id);
      break;
    }
    const auto pass_start = std::chrono::steady_clock::now();
    const auto elapsed = std::chrono::system_clock::now() - start;
    if (std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() >=
        static_cast<int64_t>(timeout_s) * 1000) {
      RCLCPP_ERROR(Logger(), "ErrorCode: %d, Function exec timeout exit!", kExchangeTimeout);
      link.Health().Count(HealthEvent::kTimedOut);
      break;
    }
    if (need_send) {
      // The request is written at most once; a failed send is retried on the next pass.
      if (!link.SendData(frame.data(), static_cast<unsigned>(frame.size()))) {
        if (rclcpp::ok()) {  // else the send was cut short by the stop, not failed
          RCLCPP_ERROR(Logger(), texts.send_failed, kSendFailed, 0, request_id);
          PaceFailedPass(pass_start);
        }
        continue;
      }
      need_send = false;
    }
    std::string payload;
    int read_count = 0;
    const LinkFrameReader::Result next = procter_link_.frames().Next(link, &payload, &read_count);
    if (next == LinkFrameReader::Result::kReadFailed) {
      if (rclcpp::ok()) {  // else the receive was cut short by the stop, not failed
        RCLCPP_ERROR(Logger(), texts.receive_failed, kReceiveFailed, read_count, request_id);
        PaceFailedPass(pass_start);
      }
      continue;
    }
    if (next == LinkFrameReader::Result::kNeedMore) {
      continue;
    }
    if (next == LinkFrameReader::Result::kOversize) {
      // The frame cannot be read, and the stream after it has no trustworthy frame boundary:
      // it counts as a frame that does not parse, and the link is rebuilt on its next use.
      link.Close();
      link.Health().Count(HealthEvent::kBadData);
      RCLCPP_ERROR(Logger(), texts.parse_failed, kParseFailed, request_id);
      break;
    }
    std::string line = texts.frame_received + std::to_string(payload.size());
    if (texts.frame_received_names_id) {
      line += "request id : " + std::to_string(request_id);
    }
    PrintLine(line);
    if (!response.ParseFromArray(payload.data(), static_cast<int>(payload.size()))) {
      link.Health().Count(HealthEvent::kBadData);
      RCLCPP_ERROR(Logger(), texts.parse_failed, kParseFailed, request_id);
      break;
    }
    if (response.response_id() != request_id) {
      RCLCPP_INFO(Logger(), texts.other_id, response.response_id(), request_id);
      continue;
    }
    if (response.has_error()) {
      RCLCPP_ERROR(Logger(), texts.processing_failed, kBoardError, request_id);
    } else {
      req_over_flag = true;
    }
    break;
  }
  RCLCPP_INFO(Logger(), texts.summary, response.has_error() ? 1 : 0, req_over_flag ? 1 : 0,
              request_id);
  return req_over_flag;
}

}  // namespace bottom_interact_center
