// YAML requests into ROS messages and messages back into one-line text.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <velmoria_protocol/msg/diagnostic_event.hpp>
#include <velmoria_protocol/srv/bottom_interact_srv.hpp>

#include "ros_tools/message_filler.hpp"
#include "ros_tools/message_formatter.hpp"
#include "ros_tools/yaml_value.hpp"

namespace {

using Request = velmoria_protocol::srv::BottomInteractSrv::Request;
using ros_tools::MessageFiller;
using ros_tools::MessageFormatter;
using ros_tools::YamlValue;

// The request written by text, or the error text when it is refused.
bool FillFrom(const std::string& text, Request* request, std::string* error) {
  const auto yaml = YamlValue::Parse(text, error);
  return yaml && MessageFiller::Fill(*yaml, request, error);
}

std::string ErrorOf(const std::string& text) {
  Request request;
  std::string error;
  EXPECT_FALSE(FillFrom(text, &request, &error)) << text;
  return error;
}

TEST(YamlRequest, NestedFieldsAndTheRestLeftAlone) {
  Request request;
  std::string error;
  ASSERT_TRUE(FillFrom("{cmd: 12, component: {main_swp: {cmd: 1, duty: 50}}}", &request, &error))
      << error;
  Request expected;
  expected.cmd = 12;
  expected.component.main_swp.cmd = 1;
  expected.component.main_swp.duty = 50;
  EXPECT_EQ(request, expected);
}

TEST(YamlRequest, BoolNegativeHexAndBlockStyle) {
  Request request;
  std::string error;
  ASSERT_TRUE(
      FillFrom("cmd: 4\nself_clean: true\nself_clean_time: -5\n"
               "fill_light_led:\n  r_g_b_duty: 0x7F00FF64\n  mode: 3\n",
               &request, &error))
      << error;
  EXPECT_TRUE(request.self_clean);
  EXPECT_EQ(request.self_clean_time, -5);
  EXPECT_EQ(request.fill_light_led.r_g_b_duty, 0x7F00FF64);
  EXPECT_EQ(request.fill_light_led.mode, 3);
  // The service's r_g_b_duty is int32: a packed value with the top bit set is written negative.
  EXPECT_EQ(ErrorOf("{top_led: {r_g_b_duty: 0xFF00FF64}}"),
            "field 'top_led.r_g_b_duty': 0xFF00FF64 is out of range for int32");
}

TEST(YamlRequest, Int32Limits) {
  Request request;
  std::string error;
  ASSERT_TRUE(FillFrom("{cmd: -2147483648, plt_cmd: 2147483647}", &request, &error)) << error;
  EXPECT_EQ(request.cmd, INT32_MIN);
  EXPECT_EQ(request.plt_cmd, INT32_MAX);
  EXPECT_EQ(ErrorOf("{cmd: 2147483648}"), "field 'cmd': 2147483648 is out of range for int32");
  EXPECT_EQ(ErrorOf("{cmd: -2147483649}"), "field 'cmd': -2147483649 is out of range for int32");
}

TEST(YamlRequest, EveryRefusalNamesTheFieldAndWhy) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"{component: {main_swpp: {cmd: 1}}}",
       "unknown field 'component.main_swpp' (fields of component: main_swp, side_swp, roll_mop, "
       "mop_pump, squeegee_fan, dust_tank_fan, motor_ctrl, water_supply)"},
      {"{cmd: ten}", "field 'cmd': 'ten' is not an integer (int32)"},
      {"{cmd: 1.5}", "field 'cmd': '1.5' is not an integer (int32)"},
      {"{cmd: '10'}", "field 'cmd': '10' is not an integer (int32)"},
      {"{component: {main_swp: {duty: }}}",
       "field 'component.main_swp.duty': '' is not an integer (int32)"},
      {"{self_clean: 1}", "field 'self_clean': '1' is not a boolean (true or false)"},
      {"{cmd: {a: 1}}", "field 'cmd' takes a single value, not a map"},
      {"{cmd: [1, 2]}", "field 'cmd' takes a single value, not a list"},
      {"{component: 5}", "field 'component' must be a map like {name: value}, not '5'"},
      {"10", "the request must be a map like {name: value}, not '10'"},
      {"", "no YAML document"},
      {"{cmd: 1, cmd: 2}", "key 'cmd' given twice"},
  };
  for (const auto& [text, error] : cases) {
    EXPECT_EQ(ErrorOf(text), error) << text;
  }
  EXPECT_EQ(ErrorOf("{cmdd: 1}").rfind("unknown field 'cmdd' (fields: cmd, component, ", 0), 0u);
  EXPECT_EQ(ErrorOf("{cmd: 1").rfind("not valid YAML", 0), 0u);
}

TEST(MessageText, FieldsInOrderWithTheHeaderLeftOut) {
  velmoria_protocol::msg::DiagnosticEvent event;
  event.header.stamp.sec = 17;
  event.header.stamp.nanosec = 5;
  event.header.frame_id = "board";
  event.event_id = 5303;
  event.event_status = 1;
  EXPECT_EQ(MessageFormatter::Format(event, "header"), "{event_id: 5303, event_status: 1}");
  EXPECT_EQ(MessageFormatter::Format(event),
            "{header: {stamp: {sec: 17, nanosec: 5}, frame_id: \"board\"}, event_id: 5303, "
            "event_status: 1}");
}

TEST(MessageText, QuotesAndEscapes) {
  EXPECT_EQ(MessageFormatter::Quote(""), "\"\"");
  EXPECT_EQ(MessageFormatter::Quote("V1.2.3"), "\"V1.2.3\"");
  EXPECT_EQ(MessageFormatter::Quote("a\"b\\c\nd\x01\xFF"), "\"a\\\"b\\\\c\\nd\\x01\\xFF\"");
}

TEST(MessageText, FormattedRequestReadsBackEqual) {
  Request original;
  original.cmd = -3;
  original.component.water_supply.clean_pump.motor.duty = 77;
  original.component.water_supply.clean_pump.select = 8;
  original.backward_led.interval = 250;
  original.self_clean = true;
  original.wheel_cmd = 7;
  Request read_back;
  std::string error;
  ASSERT_TRUE(FillFrom(MessageFormatter::Format(original), &read_back, &error)) << error;
  EXPECT_EQ(read_back, original);
}

}  // namespace
