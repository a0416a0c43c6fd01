// The board's datagrams: a 2-byte unsigned little-endian body length, the protobuf body, and
// possibly bytes behind it, which are ignored.
#ifndef BOTTOM_INTERACT_CENTER__FRAMED_DATAGRAM_HPP_
#define BOTTOM_INTERACT_CENTER__FRAMED_DATAGRAM_HPP_

#include <google/protobuf/message_lite.h>

namespace bottom_interact_center {

// Parses the body into message; logs why not (deserialize_error names the message type).
bool ParseFramedDatagram(google::protobuf::MessageLite& message, const char* data, int len,
                         const char* deserialize_error);

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__FRAMED_DATAGRAM_HPP_
