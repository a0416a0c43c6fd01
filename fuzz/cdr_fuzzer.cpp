// CDR payloads from DDS peers: the reader decodes each sample with CdrCodec straight into the
// generated C++ struct. Byte 0 picks the message type, the rest is the payload (encapsulation
// header first). A payload the codec accepts must encode again, to exactly serialized_size()
// bytes, and those bytes must decode to the same message and encode to the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "coverage_type_support.hpp"
#include "fuzz_check.hpp"
#include "rclcpp_lite/cdr.hpp"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "velmoria_protocol/msg/diagnostic_event.hpp"
#include "velmoria_protocol/msg/robot_event.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"
#include "velmoria_protocol/srv/robot_info_update.hpp"
#include "velmoria_protocol/srv/task_center_srv.hpp"

namespace {

using rclcpp_lite::CdrCodec;

template <typename Message>
const rosidl_message_type_support_t* TypeSupport() {
  return rosidl_typesupport_introspection_cpp::get_message_type_support_handle<Message>();
}
template <>
const rosidl_message_type_support_t* TypeSupport<coverage::Coverage>() {
  return coverage::coverage_type_support();
}
template <>
const rosidl_message_type_support_t* TypeSupport<coverage::Empty>() {
  return coverage::empty_type_support();
}

// The generated structs compare field by field; the hand-written ones are compared here, the
// double by its bits (a NaN read from the wire must come back as the same NaN).
template <typename Message>
bool SameMessage(const Message& a, const Message& b) {
  return a == b;
}
bool SameInner(const coverage::Inner& a, const coverage::Inner& b) {
  return a.value == b.value;
}
template <>
bool SameMessage(const coverage::Coverage& a, const coverage::Coverage& b) {
  return a.flag == b.flag && std::memcmp(&a.ratio, &b.ratio, sizeof(a.ratio)) == 0 &&
         a.bits == b.bits && a.triple == b.triple && a.bounded == b.bounded && a.words == b.words &&
         a.short_text == b.short_text && a.inners.size() == b.inners.size() &&
         std::equal(a.inners.begin(), a.inners.end(), b.inners.begin(), SameInner);
}
template <>
bool SameMessage(const coverage::Empty& /*a*/, const coverage::Empty& /*b*/) {
  return true;
}

template <typename Message>
void ReadAs(const uint8_t* data, std::size_t size) {
  static const CdrCodec codec(TypeSupport<Message>());
  Message message{};
  if (!codec.deserialize(data, size, &message)) {
    return;
  }
  const std::vector<uint8_t> encoded = codec.serialize(&message);
  FUZZ_CHECK(!encoded.empty());
  FUZZ_CHECK(encoded.size() == codec.serialized_size(&message));
  Message decoded{};
  FUZZ_CHECK(codec.deserialize(encoded.data(), encoded.size(), &decoded));
  FUZZ_CHECK(SameMessage(message, decoded));
  FUZZ_CHECK(codec.serialize(&decoded) == encoded);
}

using Reader = void (*)(const uint8_t*, std::size_t);

// The service requests and responses and the topics of the project's interfaces.
const Reader kReaders[] = {
    ReadAs<velmoria_protocol::srv::BottomInteractSrv_Request>,
    ReadAs<velmoria_protocol::srv::BottomInteractSrv_Response>,
    ReadAs<velmoria_protocol::srv::RobotInfoUpdate_Request>,
    ReadAs<velmoria_protocol::srv::RobotInfoUpdate_Response>,
    ReadAs<velmoria_protocol::srv::TaskCenterSrv_Request>,
    ReadAs<velmoria_protocol::srv::TaskCenterSrv_Response>,
    ReadAs<velmoria_protocol::msg::DiagnosticEvent>,
    ReadAs<velmoria_protocol::msg::RobotEvent>,
    ReadAs<coverage::Coverage>,
    ReadAs<coverage::Empty>,
};
constexpr std::size_t kReaderCount = sizeof(kReaders) / sizeof(kReaders[0]);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  kReaders[data[0] % kReaderCount](data + 1, size - 1);
  return 0;
}
