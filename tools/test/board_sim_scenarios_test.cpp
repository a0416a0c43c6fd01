// The simulated board's answers, seen through a real loopback connection.
#include <google/protobuf/text_format.h>
#include <google/protobuf/util/message_differencer.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "board_sim/board_simulator.hpp"
#include "raw_board_client.hpp"

namespace {

using board_sim::BoardSimulator;
using board_sim::CommandKind;
using board_sim::Scenario;
using board_sim_test::RawBoardClient;

constexpr std::chrono::milliseconds kWait{5000};

class BoardSimScenarios : public ::testing::Test {
protected:
  void SetUp() override {
    BoardSimulator::Options options;
    options.procter_port = 0;
    options.light_port = 0;
    options.write_pause = std::chrono::milliseconds(20);
    sim_ = std::make_unique<BoardSimulator>(options);
    std::string reason;
    ASSERT_TRUE(sim_->Start(&reason)) << reason;
    procter_ = std::make_unique<RawBoardClient>(sim_->procter_port());
    ASSERT_TRUE(procter_->connected());
  }

  std::unique_ptr<BoardSimulator> sim_;
  std::unique_ptr<RawBoardClient> procter_;
};

TEST_F(BoardSimScenarios, AnswersFollowTheScenarioOfTheRequestsKind) {
  sim_->SetScenario(CommandKind::kWheel, Scenario::Error(2));
  sim_->SetScenario(CommandKind::kStation, Scenario::Error(0));
  sim_->SetScenario(CommandKind::kVersion, Scenario::Version("V1.2.3"));
  sim_->SetScenario(CommandKind::kSelfClean, Scenario::Of(Scenario::Kind::kSplit));
  const std::vector<std::pair<std::string, std::string>> exchanges = {
      // request, the answer (both in protobuf text format)
      {"request_id: 1700000001 main_swp { }", "response_id: 1700000001"},
      {"request_id: 11 wheel_cmd { cmd: 2 }", "response_id: 11 error { err_code: 2 }"},
      {"request_id: 12 water_supply { hand_pump { cmd: 1 } }", "response_id: 12"},
      // An error with code 0 is still an error; a station answer reports abutment and charging.
      {"request_id: 13 station { cmd: 1 }",
       "response_id: 13 error { } station { is_abutment: true is_charging: true }"},
      {"request_id: 14 plt_cmd: 1", "response_id: 14 version { release_version: 'V1.2.3' }"},
      {"request_id: 15 self_clean { cmd: 1 }", "response_id: 15"},  // split into three writes
  };
  for (const auto& [request, answer] : exchanges) {
    ASSERT_TRUE(procter_->SendRequest(request));
    const auto response = procter_->NextResponse(kWait);
    ASSERT_TRUE(response) << request;
    cleaning_component::CleaningComponentResponse expected;
    ASSERT_TRUE(google::protobuf::TextFormat::ParseFromString(answer, &expected));
    EXPECT_TRUE(google::protobuf::util::MessageDifferencer::Equals(*response, expected))
        << request << "\nanswered: " << response->ShortDebugString();
  }
}

TEST_F(BoardSimScenarios, SilentSendsNothing) {
  sim_->SetScenario(CommandKind::kWheel, Scenario::Of(Scenario::Kind::kSilent));
  ASSERT_TRUE(procter_->SendRequest("request_id: 21 wheel_cmd { cmd: 1 }"));
  ASSERT_TRUE(procter_->SendRequest("request_id: 22 station { cmd: 1 }"));
  // The first bytes to come back answer the second request.
  const auto response = procter_->NextResponse(kWait);
  ASSERT_TRUE(response);
  EXPECT_EQ(response->response_id(), 22);
  ASSERT_TRUE(sim_->WaitForRequests(2, kWait));
}

TEST_F(BoardSimScenarios, DefaultScenarioCoversKindsWithoutOne) {
  sim_->SetDefaultScenario(Scenario::Error(1));
  sim_->SetScenario(CommandKind::kVersion, Scenario::Of(Scenario::Kind::kAccept));
  ASSERT_TRUE(procter_->SendRequest("request_id: 31 dirty_tank_switch { cmd: 1 }"));
  const auto dirty_tank = procter_->NextResponse(kWait);
  ASSERT_TRUE(dirty_tank);
  EXPECT_EQ(dirty_tank->error().err_code(), 1);

  ASSERT_TRUE(procter_->SendRequest("request_id: 32 plt_cmd: 1"));
  const auto version = procter_->NextResponse(kWait);
  ASSERT_TRUE(version);
  EXPECT_FALSE(version->has_error());

  sim_->ClearScenarios();
  ASSERT_TRUE(procter_->SendRequest("request_id: 33 plt_cmd: 1"));
  const auto after_clear = procter_->NextResponse(kWait);
  ASSERT_TRUE(after_clear);
  EXPECT_EQ(after_clear->error().err_code(), 1);
}

TEST_F(BoardSimScenarios, OtherIdFirstThenTheAnswer) {
  sim_->SetScenario(CommandKind::kProcterMotors, Scenario::Of(Scenario::Kind::kOtherIdFirst));
  ASSERT_TRUE(
      procter_->SendRequest("request_id: 42 motor_ctrl { tools_clean { motor { cmd: 1 } } }"));
  const auto earlier = procter_->NextResponse(kWait);
  const auto answer = procter_->NextResponse(kWait);
  ASSERT_TRUE(earlier && answer);
  EXPECT_EQ(earlier->response_id(), 41);
  EXPECT_EQ(answer->response_id(), 42);
}

TEST_F(BoardSimScenarios, CoalesceSendsBothFramesTogether) {
  sim_->SetScenario(CommandKind::kSelfClean, Scenario::Of(Scenario::Kind::kCoalesce));
  ASSERT_TRUE(procter_->SendRequest("request_id: 50 self_clean { cmd: 1 }"));
  // Two frames of 2 + 2 bytes each (response_id 49, then 50), in that order.
  const auto bytes = procter_->ReadBytes(8, kWait);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, std::string("\x02\x00\x08\x31\x02\x00\x08\x32", 8));
}

TEST_F(BoardSimScenarios, CloseDropsTheConnectionWithoutAnswer) {
  sim_->SetScenario(CommandKind::kHandPump, Scenario::Of(Scenario::Kind::kClose));
  ASSERT_TRUE(procter_->SendRequest("request_id: 60 water_supply { hand_pump { cmd: 1 } }"));
  EXPECT_TRUE(procter_->WaitForClose(kWait));
  EXPECT_EQ(sim_->Requests().size(), 1u);

  RawBoardClient again(sim_->procter_port());
  ASSERT_TRUE(again.connected());
  ASSERT_TRUE(again.SendRequest("request_id: 61 station { cmd: 1 }"));
  const auto response = again.NextResponse(kWait);
  ASSERT_TRUE(response);
  EXPECT_EQ(response->response_id(), 61);
}

TEST_F(BoardSimScenarios, GarbageFrameDoesNotParse) {
  sim_->SetScenario(CommandKind::kVersion, Scenario::Of(Scenario::Kind::kGarbage));
  ASSERT_TRUE(procter_->SendRequest("request_id: 70 plt_cmd: 1"));
  const auto payload = procter_->NextFrame(kWait);
  ASSERT_TRUE(payload);
  cleaning_component::CleaningComponentResponse response;
  EXPECT_FALSE(response.ParseFromString(*payload));
}

// The whole answer is sent, so a receiver that does not drop the link reads its tail next.
TEST_F(BoardSimScenarios, OversizeAnswerDeclaresMoreThanTheReceiveBufferAndSendsIt) {
  sim_->SetScenario(CommandKind::kSmfMotors, Scenario::Of(Scenario::Kind::kOversize));
  ASSERT_TRUE(procter_->SendRequest("request_id: 80 main_swp { }"));
  const auto header = procter_->ReadBytes(2, kWait);
  ASSERT_TRUE(header);
  const std::size_t declared =
      static_cast<uint8_t>((*header)[0]) | (static_cast<uint8_t>((*header)[1]) << 8);
  EXPECT_GT(declared, 4094u);
  const auto body = procter_->ReadBytes(declared, kWait);
  ASSERT_TRUE(body);
  cleaning_component::CleaningComponentResponse response;
  ASSERT_TRUE(response.ParseFromString(*body));
  EXPECT_EQ(response.response_id(), 80);
}

TEST_F(BoardSimScenarios, LightLinkAnswersToo) {
  sim_->SetScenario(CommandKind::kLight, Scenario::Error(1));
  RawBoardClient light(sim_->light_port());
  ASSERT_TRUE(light.connected());
  ASSERT_TRUE(light.SendRequest("request_id: 95 led_cmd { fill_light_led { mode: 3 } }"));
  const auto response = light.NextResponse(kWait);
  ASSERT_TRUE(response);
  EXPECT_EQ(response->response_id(), 95);
  EXPECT_EQ(response->error().err_code(), 1);
}

}  // namespace
