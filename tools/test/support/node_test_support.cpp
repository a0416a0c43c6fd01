#include "node_test_support.hpp"

#include <google/protobuf/util/message_differencer.h>
#include <unistd.h>

#include <cstdlib>

#include "bottom_interact_center/constants.hpp"
#include "rclcpp/rclcpp.hpp"
#include "test_support/test_domain.hpp"

namespace node_test {

int RunAllTests(int argc, char** argv) {
  test_support::KeepDdsOnThisMachine();
  setenv("RCUTILS_CONSOLE_OUTPUT_FORMAT", "{severity} {message}", 1);
  setenv("RCUTILS_COLORIZED_OUTPUT", "0", 1);
  ::testing::InitGoogleTest(&argc, argv);
  rclcpp::init(argc, argv);
  const int result = RUN_ALL_TESTS();
  rclcpp::shutdown();
  return result;
}

bool BoardIsLoopback() {
  return std::string(bottom_interact_center::kBoardProcterAddress).rfind("127.", 0) == 0;
}

board_sim::BoardSimulator::Options BoardOptions() {
  board_sim::BoardSimulator::Options options;
  options.address = bottom_interact_center::kBoardProcterAddress;
  options.procter_port = bottom_interact_center::kProcterPort;
  options.light_port = bottom_interact_center::kLightPort;
  return options;
}

std::string ConnectAttemptText(int port) {
  return std::string("Try to connect server ") + bottom_interact_center::kBoardProcterAddress +
         ":" + std::to_string(port);
}

::testing::AssertionResult SameRequest(const cleaning_component::CleaningComponentRequest& expected,
                                       const cleaning_component::CleaningComponentRequest& actual) {
  return SameMessage(expected, actual);
}

::testing::AssertionResult SameMessage(const google::protobuf::Message& expected,
                                       const google::protobuf::Message& actual) {
  google::protobuf::util::MessageDifferencer differencer;
  std::string differences;
  differencer.ReportDifferencesToString(&differences);
  if (differencer.Compare(expected, actual)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << expected.GetTypeName() << " differs:\n"
                                       << differences << "expected: " << expected.ShortDebugString()
                                       << "\nactual:   " << actual.ShortDebugString();
}

}  // namespace node_test
