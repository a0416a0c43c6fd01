// Wire-level checks of the board schema: the bytes below are written by hand from the field
// numbers and types the board firmware uses, so a renumbered or retyped field fails here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "robot/cleaning_component.pb.h"

namespace {

using cleaning_component::CleaningComponentRequest;
using cleaning_component::CleaningComponentResponse;
using cleaning_component::CleanRobotReport;

std::string Bytes(std::initializer_list<uint8_t> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(BoardRequestEncoding, ScalarsAndNegativeId) {
  CleaningComponentRequest request;
  request.set_request_id(1);
  request.set_plt_cmd(1);
  EXPECT_EQ(request.SerializeAsString(), Bytes({0x08, 0x01, 0x10, 0x01}));

  request.Clear();
  request.set_request_id(-1);
  EXPECT_EQ(request.SerializeAsString(),
            Bytes({0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}));
}

TEST(BoardRequestEncoding, MotorWheelAndWaterFields) {
  CleaningComponentRequest request;
  request.mutable_water_supply()->mutable_hand_pump()->set_cmd(3);
  request.mutable_water_supply()->mutable_hand_pump()->set_duty(7);
  request.mutable_dust_tank_fan();  // touched but all zero: travels as an empty sub-message
  request.mutable_wheel_cmd()->set_cmd(cleaning_component::WheelCmd_Unlock);
  request.mutable_main_swp()->set_cmd(1);
  request.mutable_main_swp()->set_duty(50);
  EXPECT_EQ(request.SerializeAsString(),
            Bytes({0x1A, 0x04, 0x08, 0x01, 0x10, 0x32,                       // main_swp = 3
                   0x92, 0x01, 0x02, 0x08, 0x01,                             // wheel_cmd = 18
                   0xA2, 0x01, 0x00,                                         // dust_tank_fan = 20
                   0xBA, 0x01, 0x06, 0x0A, 0x04, 0x08, 0x03, 0x10, 0x07}));  // water_supply = 23
}

TEST(BoardRequestEncoding, LightSelfCleanStationAndMultiplexFields) {
  CleaningComponentRequest request;
  request.mutable_self_clean()->set_cmd(cleaning_component::SELF_CLEAN_SOFTLY);
  request.mutable_self_clean()->set_time(60);
  request.mutable_station()->set_cmd(1);
  auto* fill = request.mutable_led_cmd()->mutable_fill_light_led();
  fill->set_r_g_b_duty(300);
  fill->set_mode(cleaning_component::LED_MODE_BLINK);
  fill->set_interval(1);
  auto* tools_clean = request.mutable_motor_ctrl()->mutable_tools_clean();
  tools_clean->mutable_motor()->set_cmd(1);
  tools_clean->set_select(cleaning_component::MultiplexSelect_4);
  EXPECT_EQ(request.SerializeAsString(),
            Bytes({0x72, 0x04, 0x08, 0x01, 0x10, 0x3C,  // self_clean = 14
                   0x7A, 0x02, 0x08, 0x01,              // station = 15
                   0x82, 0x01, 0x09, 0x2A, 0x07, 0x08,
                   0xAC, 0x02, 0x10, 0x03, 0x18,
                   0x01,  // led_cmd = 16, fill_light_led = 5
                   0xB2, 0x01, 0x08, 0x12, 0x06, 0x0A,
                   0x02, 0x08, 0x01, 0x10, 0x08}));  // motor_ctrl = 22, tools_clean = 2
}

TEST(BoardResponseDecoding, EveryField) {
  CleaningComponentResponse response;
  ASSERT_TRUE(
      response.ParseFromString(Bytes({0x08, 0x05,                         // response_id
                                      0x12, 0x04, 0x0A, 0x02, 'V',  '1',  // version.release_version
                                      0x18, 0x02,                         // plt_status
                                      0x22, 0x05, 0x08, 0x02, 0x12, 0x01, 'x',  // error
                                      0x2A, 0x04, 0x08, 0x01, 0x10, 0x01})));   // station
  EXPECT_EQ(response.response_id(), 5);
  EXPECT_EQ(response.version().release_version(), "V1");
  EXPECT_EQ(response.plt_status(), 2);
  ASSERT_TRUE(response.has_error());
  EXPECT_EQ(response.error().err_code(), cleaning_component::InBumperTrig);
  EXPECT_EQ(response.error().err_msg(), "x");
  EXPECT_TRUE(response.station().is_abutment());
  EXPECT_TRUE(response.station().is_charging());
}

TEST(BoardResponseDecoding, EmptyErrorIsPresentWithCodeZero) {
  CleaningComponentResponse response;
  ASSERT_TRUE(response.ParseFromString(Bytes({0x08, 0x05, 0x22, 0x00})));
  EXPECT_TRUE(response.has_error());
  EXPECT_EQ(response.error().err_code(), 0);
  EXPECT_FALSE(response.has_version());
}

TEST(BoardResponseDecoding, InvalidUtf8InErrorTextFailsTheParse) {
  CleaningComponentResponse response;
  EXPECT_FALSE(response.ParseFromString(Bytes({0x08, 0x05, 0x22, 0x03, 0x12, 0x01, 0xFF})));

  CleaningComponentResponse sent;
  sent.set_response_id(5);
  sent.mutable_error()->set_err_msg("\xFF");
  const std::string wire = sent.SerializeAsString();  // logged by protobuf, still written
  EXPECT_FALSE(response.ParseFromString(wire));
}

TEST(BoardReportDecoding, UndeclaredEnumValueSurvives) {
  CleanRobotReport report;
  ASSERT_TRUE(report.ParseFromString(Bytes({0x08, 0x07})));
  EXPECT_EQ(static_cast<int>(report.emergency_btn()), 7);
  EXPECT_EQ(report.SerializeAsString(), Bytes({0x08, 0x07}));
}

TEST(BoardReportDecoding, EveryField) {
  CleanRobotReport report;
  ASSERT_TRUE(report.ParseFromString(
      Bytes({0x08, 0x02,                                                      // emergency_btn
             0x12, 0x02, 0x08, 0x01,                                          // work_status
             0x18, 0x02,                                                      // pause_btn
             0x20, 0x02,                                                      // bumper_status
             0x28, 0x01,                                                      // wheel_power_status
             0x30, 0x01,                                                      // power_btn
             0x3A, 0x08, 0x08, 0x01, 0x10, 0x02, 0x18, 0x01, 0x20, 0x02,      // obstacle_sensors
             0x42, 0x08, 0x08, 0x80, 0x80, 0x80, 0x80, 0x20, 0x10, 0x01})));  // diag_event
  EXPECT_EQ(report.emergency_btn(), cleaning_component::EmergencyStop);
  EXPECT_EQ(report.work_status().status(), 1);
  EXPECT_EQ(report.pause_btn(), cleaning_component::WorkPause);
  EXPECT_EQ(report.bumper_status(), cleaning_component::BumperTrig);
  EXPECT_EQ(report.wheel_power_status(), cleaning_component::WheelPowerStatus_PowerOff);
  EXPECT_EQ(report.power_btn(), cleaning_component::PowerBTN_Trigger);
  EXPECT_EQ(report.obstacle_sensors().obstacle_left_low(),
            cleaning_component::ObstacleSensor_Trigger);
  EXPECT_EQ(report.obstacle_sensors().obstacle_right_low(),
            cleaning_component::ObstacleSensor_Loose);
  EXPECT_EQ(report.obstacle_sensors().obstacle_left_high(),
            cleaning_component::ObstacleSensor_Trigger);
  EXPECT_EQ(report.obstacle_sensors().obstacle_right_high(),
            cleaning_component::ObstacleSensor_Loose);
  EXPECT_EQ(report.diag_event().event_id(), int64_t{1} << 33);
  EXPECT_EQ(report.diag_event().event_status(), 1);
}

TEST(BoardMessageEncoding, BasicResponseFields) {
  cleaning_component::BasicResponse basic;
  basic.set_cmd(1);
  basic.set_status(2);
  EXPECT_EQ(basic.SerializeAsString(), Bytes({0x08, 0x01, 0x10, 0x02}));
}

}  // namespace
