// CdrCodec against byte strings worked out by hand from the CDR rules, plus round trips and
// hostile input.
#include <gtest/gtest.h>

#include <algorithm>
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
T decoded(const CdrCodec& codec, const Bytes& bytes) {
  T message;
  EXPECT_TRUE(codec.deserialize(bytes.data(), bytes.size(), &message));
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

std_msgs::msg::Header map_header() {
  std_msgs::msg::Header header;
  header.stamp.sec = 1;
  header.stamp.nanosec = 2;
  header.frame_id = "map";
  return header;
}

Response negative_response() {
  Response response;
  response.status = -3;
  response.message = "ok";
  return response;
}

template <typename T>
Bytes serialized(const T& message) {
  return codec_for<T>().serialize(&message);
}

/// `message` encodes to `bytes`, of the size predicted; `bytes` decode, into a message that held
/// `stale` content, to one that encodes to `bytes` again.
template <typename T>
void expect_encoding(const CdrCodec& codec, const T& message, const Bytes& bytes, T stale = T()) {
  EXPECT_EQ(codec.serialize(&message), bytes);
  EXPECT_EQ(codec.serialized_size(&message), bytes.size());
  ASSERT_TRUE(codec.deserialize(bytes.data(), bytes.size(), &stale));
  EXPECT_EQ(codec.serialize(&stale), bytes);
}

TEST(CdrEncoding, MessagesEncodeToAndDecodeFromHandWorkedBytes) {
  expect_encoding(CdrCodec(coverage::empty_type_support()), coverage::Empty(),
                  hex("00 01 00 00 00"));
  // A string's length counts its nul; an empty string is length one and the nul.
  const CdrCodec header_codec = codec_for<std_msgs::msg::Header>();
  expect_encoding(header_codec, map_header(),
                  hex("00 01 00 00  01 00 00 00  02 00 00 00  04 00 00 00  6d 61 70 00"));
  expect_encoding(header_codec, std_msgs::msg::Header(),
                  hex("00 01 00 00  00 00 00 00  00 00 00 00  01 00 00 00  00"), map_header());
  // "odom\0" ends at body offset 17; event_id is padded to 20 with zeros.
  expect_encoding(codec_for<DiagnosticEvent>(), sample_event(),
                  hex("00 01 00 00  01 00 00 00  02 00 00 00  05 00 00 00  6f 64 6f 6d 00 00 00 00"
                      "2a 00 00 00  f9 ff ff ff"));
  expect_encoding(codec_for<Response>(), negative_response(),
                  hex("00 01 00 00  fd ff ff ff  03 00 00 00  6f 6b 00"));
  coverage::Coverage stale;
  stale.words = {"stale", "entries", "to", "replace"};
  expect_encoding(CdrCodec(coverage::coverage_type_support()), sample_coverage(), kCoverageBytes,
                  stale);

  Request request;
  request.self_clean = true;
  request.self_clean_time = -1;
  request.wheel_cmd = 0x01020304;
  const Bytes request_bytes = serialized(request);
  // 52 int32 (cmd and the nested command structs) precede the bool at body offset 208.
  EXPECT_EQ(request_bytes.size(), 4u + 208 + 1 + 3 + 12);
  EXPECT_EQ(Bytes(request_bytes.begin() + 212, request_bytes.end()),
            hex("01 00 00 00  ff ff ff ff  00 00 00 00  04 03 02 01"));
}

TEST(CdrEncoding, ExceededBoundsAndSmallBuffersFailSerialization) {
  const CdrCodec codec(coverage::coverage_type_support());
  coverage::Coverage too_many = sample_coverage();
  too_many.bounded = {1, 2, 3};
  EXPECT_TRUE(codec.serialize(&too_many).empty());
  coverage::Coverage too_long = sample_coverage();
  too_long.short_text = "abcde";
  EXPECT_TRUE(codec.serialize(&too_long).empty());

  const DiagnosticEvent event = sample_event();
  const CdrCodec event_codec = codec_for<DiagnosticEvent>();
  std::vector<uint8_t> buffer(event_codec.serialized_size(&event) - 1);
  EXPECT_EQ(event_codec.serialize(&event, buffer.data(), buffer.size()), 0u);
}

TEST(CdrEncoding, DdsTypeNames) {
  EXPECT_EQ(codec_for<DiagnosticEvent>().dds_type_name(),
            "velmoria_protocol::msg::dds_::DiagnosticEvent_");
  EXPECT_EQ(codec_for<Request>().dds_type_name(),
            "velmoria_protocol::srv::dds_::BottomInteractSrv_Request_");
}

TEST(CdrDecoding, BigEndianEncapsulationDecodes) {
  EXPECT_EQ(decoded<Response>(codec_for<Response>(),
                              hex("00 00 00 00  ff ff ff fd  00 00 00 03  6f 6b 00")),
            negative_response());
}

TEST(CdrDecoding, RejectsEveryTruncation) {
  DiagnosticEvent event;
  expect_truncations_rejected(codec_for<DiagnosticEvent>(), serialized(sample_event()), &event);
  coverage::Coverage message;
  expect_truncations_rejected(CdrCodec(coverage::coverage_type_support()), kCoverageBytes,
                              &message);
  coverage::Empty empty;
  const Bytes empty_bytes = hex("00 01 00 00 00");
  EXPECT_TRUE(CdrCodec(coverage::empty_type_support()).deserialize(empty_bytes.data(), 5, &empty));
  expect_truncations_rejected(CdrCodec(coverage::empty_type_support()), empty_bytes, &empty);
}

/// kCoverageBytes with the bytes from `offset` on replaced by `patch`.
Bytes corrupted_coverage(size_t offset, const Bytes& patch) {
  Bytes bytes = kCoverageBytes;
  std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
  return bytes;
}

TEST(CdrDecoding, RejectsCorruptInput) {
  const Bytes response_body = hex("fd ff ff ff  03 00 00 00  6f 6b 00");
  Response response;
  for (const char* header : {"00 02 00 00", "00 03 00 00", "01 01 00 00"}) {
    Bytes bytes = hex(header);
    bytes.insert(bytes.end(), response_body.begin(), response_body.end());
    EXPECT_FALSE(codec_for<Response>().deserialize(bytes.data(), bytes.size(), &response))
        << "encapsulation " << header;
  }
  const Bytes huge_string = hex("00 01 00 00  00 00 00 00  f0 ff ff ff  6f 6b 00");
  EXPECT_FALSE(
      codec_for<Response>().deserialize(huge_string.data(), huge_string.size(), &response));

  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"bool of 2", corrupted_coverage(4, {2})},
      {"bounded count 3 > 2", corrupted_coverage(36, {3})},
      {"absurd sequence count allocated before reading",
       corrupted_coverage(44, {0xf0, 0xff, 0xff, 0xff})},
  };
  const CdrCodec codec(coverage::coverage_type_support());
  for (const auto& c : cases) {
    coverage::Coverage message;
    EXPECT_FALSE(codec.deserialize(c.bytes.data(), c.bytes.size(), &message)) << c.what;
  }
}

TEST(CdrCodecSetup, RefusesOtherTypeSupport) {
  const rosidl_message_type_support_t foreign = {"rosidl_typesupport_fastrtps_cpp", nullptr,
                                                 nullptr};
  EXPECT_THROW(CdrCodec{&foreign}, std::invalid_argument);
  EXPECT_THROW(CdrCodec{nullptr}, std::invalid_argument);
}

}  // namespace
