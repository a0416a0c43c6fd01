#include "board_requests.hpp"

namespace board_sim_test {

namespace {

BoardRequests::Request WithId(int32_t id) {
  BoardRequests::Request request;
  request.set_request_id(id);
  return request;
}

}  // namespace

BoardRequests::Request BoardRequests::ProcterMotors(int32_t id) {
  Request request = WithId(id);
  request.mutable_motor_ctrl()->mutable_tools_clean()->mutable_motor()->set_cmd(1);
  request.mutable_water_supply()->mutable_clean_pump()->set_select(
      cleaning_component::MultiplexSelect_2);
  request.mutable_water_supply()->mutable_dirty_pump();
  return request;
}

BoardRequests::Request BoardRequests::SmfMotors(int32_t id) {
  Request request = WithId(id);
  request.mutable_main_swp();
  request.mutable_side_swp();
  request.mutable_roll_mop();
  request.mutable_mop_pump();
  request.mutable_squeegee_fan();
  request.mutable_dust_tank_fan();
  return request;
}

BoardRequests::Request BoardRequests::HandPump(int32_t id) {
  Request request = WithId(id);
  request.mutable_water_supply()->mutable_hand_pump()->set_cmd(1);
  return request;
}

BoardRequests::Request BoardRequests::SelfClean(int32_t id) {
  Request request = WithId(id);
  request.mutable_self_clean()->set_cmd(1);
  request.mutable_mop_pump()->set_cmd(1);
  request.mutable_mop_pump()->set_duty(40);
  request.mutable_self_clean_pump()->set_cmd(1);
  return request;
}

BoardRequests::Request BoardRequests::DirtyTank(int32_t id) {
  Request request = WithId(id);
  request.mutable_dirty_tank_switch()->set_cmd(1);
  request.mutable_tank_clean_pump();
  return request;
}

BoardRequests::Request BoardRequests::Station(int32_t id) {
  Request request = WithId(id);
  request.mutable_station()->set_cmd(1);
  return request;
}

BoardRequests::Request BoardRequests::Wheel(int32_t id, int wheel_cmd) {
  Request request = WithId(id);
  request.mutable_wheel_cmd()->set_cmd(
      static_cast<cleaning_component::WheelCommandEnum>(wheel_cmd));
  return request;
}

BoardRequests::Request BoardRequests::Version(int32_t id) {
  return Platform(id, cleaning_component::PltCmd_Get_Version);
}

BoardRequests::Request BoardRequests::Platform(int32_t id, int32_t plt_cmd) {
  Request request = WithId(id);
  request.set_plt_cmd(plt_cmd);
  return request;
}

BoardRequests::Request BoardRequests::FillLight(int32_t id, int mode) {
  Request request = WithId(id);
  request.mutable_led_cmd()->mutable_fill_light_led()->set_mode(
      static_cast<cleaning_component::LedMode>(mode));
  return request;
}

}  // namespace board_sim_test
