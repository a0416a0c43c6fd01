// CdrCodec against byte strings worked out by hand from the CDR rules, plus round trips and
// hostile input.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "coverage_type_support.hpp"
#include "rclcpp_lite/cdr.hpp"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "std_msgs/msg/header.hpp"
#include "velmoria_protocol/msg/diagnostic_event.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

namespace {

using rclcpp_lite::CdrCodec;
using rosidl_typesupport_introspection_cpp::get_message_type_support_handle;
using Bytes = std::vector<uint8_t>;
using DiagnosticEvent = velmoria_protocol::msg::DiagnosticEvent;
using Request = velmoria_protocol::srv::BottomInteractSrv::Request;
using Response = velmoria_protocol::srv::BottomInteractSrv::Response;

Bytes hex(const std::string& text) {
  Bytes bytes;
  unsigned value = 0;
  int consumed = 0;
  for (const char* p = text.c_str(); std::sscanf(p, " %2x%n", &value, &consumed) == 1;
       p += consumed) {
    bytes.push_back(static_cast<uint8_t>(value));
  }
  return bytes;
}

template <typename T>
CdrCodec codec_for() {
  return CdrCodec(get_message_type_support_handle<T>());
}

template <typename T>
T decoded(const CdrCodec& codec, const Bytes& bytes, bool* ok = nullptr) {
  T message;
  const bool decoded_ok = codec.deserialize(bytes.data(), bytes.size(), &message);
  if (ok != nullptr) {
    *ok = decoded_ok;
  } else {
    EXPECT_TRUE(decoded_ok);
  }
  return message;
}

/// Every proper prefix of a valid payload is refused.
void expect_truncations_rejected(const CdrCodec& codec, const Bytes& payload, void* message) {
  for (size_t length = 0; length < payload.size(); ++length) {
    EXPECT_FALSE(codec.deserialize(payload.data(), length, message)) << "prefix of " << length;
  }
}

DiagnosticEvent sample_event() {
  DiagnosticEvent event;
  event.header.stamp.sec = 1;
  event.header.stamp.nanosec = 2;
  event.header.frame_id = "odom";
  event.event_id = 42;
  event.event_status = -7;
  return event;
}

coverage::Coverage sample_coverage() {
  coverage::Coverage message;
  message.flag = true;
  message.ratio = 1.0;
  message.bits = {true, false, true};
  message.triple = {1, 2, 3};
  message.bounded = {-1};
  message.words = {"a", ""};
  message.inners = {coverage::Inner{5}};
  message.short_text = "abc";
  return message;
}

// header | flag, pad to 8 | ratio | bits count, 1 0 1, pad to 2 | 1 2 3, pad to 4 | bounded count,
// -1 | words count, "a" (len 2), pad, "" (len 1), pad | inners count, 5, pad | "abc" (len 4)
const Bytes kCoverageBytes =
    hex("00 01 00 00  01 00 00 00 00 00 00 00  00 00 00 00 00 00 f0 3f"
        "03 00 00 00  01 00 01 00  01 00 02 00 03 00 00 00  01 00 00 00  ff ff ff ff"
        "02 00 00 00  02 00 00 00 61 00 00 00  01 00 00 00 00 00 00 00"
        "01 00 00 00  05 00 00 00  04 00 00 00 61 62 63 00");

TEST(CdrEncoding, EmptyStructIsOneZeroByte) {
  const CdrCodec codec(coverage::empty_type_support());
  coverage::Empty empty;
  EXPECT_EQ(codec.serialize(&empty), hex("00 01 00 00 00"));
  EXPECT_EQ(codec.serialized_size(&empty), 5u);
  EXPECT_TRUE(codec.deserialize(hex("00 01 00 00 00").data(), 5, &empty));
  EXPECT_FALSE(codec.deserialize(hex("00 01 00 00").data(), 4, &empty));
}

TEST(CdrEncoding, HeaderStringCountsItsNul) {
  std_msgs::msg::Header header;
  header.stamp.sec = 1;
  header.stamp.nanosec = 2;
  header.frame_id = "map";
  EXPECT_EQ(codec_for<std_msgs::msg::Header>().serialize(&header),
            hex("00 01 00 00  01 00 00 00  02 00 00 00  04 00 00 00  6d 61 70 00"));
}

TEST(CdrEncoding, EmptyStringIsLengthOneAndNul) {
  std_msgs::msg::Header header;
  EXPECT_EQ(codec_for<std_msgs::msg::Header>().serialize(&header),
            hex("00 01 00 00  00 00 00 00  00 00 00 00  01 00 00 00  00"));
}

TEST(CdrEncoding, NestedMessagePadsAfterOddLengthString) {
  const DiagnosticEvent event = sample_event();
  // "odom\0" ends at body offset 17; event_id is padded to 20 with zeros.
  EXPECT_EQ(codec_for<DiagnosticEvent>().serialize(&event),
            hex("00 01 00 00  01 00 00 00  02 00 00 00  05 00 00 00  6f 64 6f 6d 00 00 00 00"
                "2a 00 00 00  f9 ff ff ff"));
}

TEST(CdrEncoding, ResponseWithNegativeStatus) {
  Response response;
  response.status = -3;
  response.message = "ok";
  EXPECT_EQ(codec_for<Response>().serialize(&response),
            hex("00 01 00 00  fd ff ff ff  03 00 00 00  6f 6b 00"));
}

TEST(CdrEncoding, RequestBoolIsPaddedBeforeNextInt) {
  Request request;
  request.self_clean = true;
  request.self_clean_time = -1;
  request.wheel_cmd = 0x01020304;
  const Bytes bytes = codec_for<Request>().serialize(&request);
  // 52 int32 (cmd and the nested command structs) precede the bool at body offset 208.
  ASSERT_EQ(bytes.size(), 4u + 208 + 1 + 3 + 12);
  EXPECT_EQ(Bytes(bytes.begin() + 212, bytes.end()),
            hex("01 00 00 00  ff ff ff ff  00 00 00 00  04 03 02 01"));
}

TEST(CdrEncoding, CoverageTypeLayout) {
  const CdrCodec codec(coverage::coverage_type_support());
  const coverage::Coverage message = sample_coverage();
  EXPECT_EQ(codec.serialize(&message), kCoverageBytes);
  EXPECT_EQ(codec.serialized_size(&message), kCoverageBytes.size());
}

TEST(CdrEncoding, ExceededBoundsFailSerialization) {
  const CdrCodec codec(coverage::coverage_type_support());
  coverage::Coverage too_many = sample_coverage();
  too_many.bounded = {1, 2, 3};
  EXPECT_TRUE(codec.serialize(&too_many).empty());
  coverage::Coverage too_long = sample_coverage();
  too_long.short_text = "abcde";
  EXPECT_TRUE(codec.serialize(&too_long).empty());
}

TEST(CdrEncoding, SerializeRefusesSmallBuffer) {
  const DiagnosticEvent event = sample_event();
  const CdrCodec codec = codec_for<DiagnosticEvent>();
  std::vector<uint8_t> buffer(codec.serialized_size(&event) - 1);
  EXPECT_EQ(codec.serialize(&event, buffer.data(), buffer.size()), 0u);
}

TEST(CdrEncoding, DdsTypeNames) {
  EXPECT_EQ(codec_for<DiagnosticEvent>().dds_type_name(),
            "velmoria_protocol::msg::dds_::DiagnosticEvent_");
  EXPECT_EQ(codec_for<Request>().dds_type_name(),
            "velmoria_protocol::srv::dds_::BottomInteractSrv_Request_");
  EXPECT_EQ(codec_for<Response>().dds_type_name(),
            "velmoria_protocol::srv::dds_::BottomInteractSrv_Response_");
}

TEST(CdrDecoding, RoundTripsProjectMessages) {
  const DiagnosticEvent event = sample_event();
  const CdrCodec event_codec = codec_for<DiagnosticEvent>();
  EXPECT_EQ(decoded<DiagnosticEvent>(event_codec, event_codec.serialize(&event)), event);

  Request request;
  request.cmd = 9;
  request.component.water_supply.clean_pump.select = 4;
  request.top_led.r_g_b_duty = 0x00ff8040;
  request.station.cmd = -2;
  request.self_clean = true;
  request.plt_cmd = 3;
  const CdrCodec request_codec = codec_for<Request>();
  EXPECT_EQ(decoded<Request>(request_codec, request_codec.serialize(&request)), request);
}

TEST(CdrDecoding, StringWithBinaryContentSurvives) {
  Response response;
  response.message = std::string("\x00\xff\x80 raw", 7);
  const CdrCodec codec = codec_for<Response>();
  EXPECT_EQ(decoded<Response>(codec, codec.serialize(&response)).message, response.message);
}

TEST(CdrDecoding, CoverageTypeFromHandWrittenBytes) {
  const CdrCodec codec(coverage::coverage_type_support());
  coverage::Coverage message;
  message.words = {"stale", "entries", "to", "replace"};
  ASSERT_TRUE(codec.deserialize(kCoverageBytes.data(), kCoverageBytes.size(), &message));
  const coverage::Coverage expected = sample_coverage();
  EXPECT_EQ(message.flag, expected.flag);
  EXPECT_EQ(message.ratio, expected.ratio);
  EXPECT_EQ(message.bits, expected.bits);
  EXPECT_EQ(message.triple, expected.triple);
  EXPECT_EQ(message.bounded, expected.bounded);
  EXPECT_EQ(message.words, expected.words);
  ASSERT_EQ(message.inners.size(), 1u);
  EXPECT_EQ(message.inners[0].value, 5);
  EXPECT_EQ(message.short_text, expected.short_text);
}

TEST(CdrDecoding, AcceptsBigEndianPayload) {
  bool ok = false;
  const Response response = decoded<Response>(
      codec_for<Response>(), hex("00 00 00 00  ff ff ff fd  00 00 00 03  6f 6b 00"), &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(response.status, -3);
  EXPECT_EQ(response.message, "ok");
}

TEST(CdrDecoding, RejectsEveryTruncation) {
  DiagnosticEvent event;
  expect_truncations_rejected(codec_for<DiagnosticEvent>(),
                              codec_for<DiagnosticEvent>().serialize(&event), &event);
  coverage::Coverage message;
  expect_truncations_rejected(CdrCodec(coverage::coverage_type_support()), kCoverageBytes,
                              &message);
}

TEST(CdrDecoding, RejectsUnknownEncapsulation) {
  Response response;
  const CdrCodec codec = codec_for<Response>();
  for (const char* header : {"00 02 00 00", "00 03 00 00", "01 01 00 00"}) {
    const Bytes bytes = hex(std::string(header) + " fd ff ff ff  03 00 00 00  6f 6b 00");
    EXPECT_FALSE(codec.deserialize(bytes.data(), bytes.size(), &response)) << header;
  }
}

TEST(CdrDecoding, RejectsAbsurdLengthsBeforeAllocating) {
  Response response;
  const Bytes huge_string = hex("00 01 00 00  00 00 00 00  f0 ff ff ff  6f 6b 00");
  EXPECT_FALSE(
      codec_for<Response>().deserialize(huge_string.data(), huge_string.size(), &response));

  coverage::Coverage message;
  Bytes huge_sequence = kCoverageBytes;
  huge_sequence[44] = 0xf0;  // words count -> 0xfffffff0
  huge_sequence[45] = huge_sequence[46] = huge_sequence[47] = 0xff;
  const CdrCodec codec(coverage::coverage_type_support());
  EXPECT_FALSE(codec.deserialize(huge_sequence.data(), huge_sequence.size(), &message));
}

TEST(CdrDecoding, RejectsBrokenBoundsAndBools) {
  const CdrCodec codec(coverage::coverage_type_support());
  coverage::Coverage message;
  Bytes bad_bool = kCoverageBytes;
  bad_bool[4] = 2;
  EXPECT_FALSE(codec.deserialize(bad_bool.data(), bad_bool.size(), &message));

  Bytes over_bound = kCoverageBytes;
  over_bound[36] = 3;  // bounded count 3 > 2
  EXPECT_FALSE(codec.deserialize(over_bound.data(), over_bound.size(), &message));
}

TEST(CdrCodecSetup, RefusesOtherTypeSupport) {
  const rosidl_message_type_support_t foreign = {"rosidl_typesupport_fastrtps_cpp", nullptr,
                                                 nullptr};
  EXPECT_THROW(CdrCodec{&foreign}, std::invalid_argument);
  EXPECT_THROW(CdrCodec{nullptr}, std::invalid_argument);
}

}  // namespace
