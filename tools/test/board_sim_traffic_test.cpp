// What the simulated board records, how it reads the node's byte stream, and its life cycle.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "board_requests.hpp"
#include "board_sim/board_simulator.hpp"
#include "bottom_interact_center/board_frame.hpp"
#include "raw_board_client.hpp"

namespace {

using board_sim::BoardSimulator;
using board_sim::CommandKind;
using board_sim::Link;
using board_sim::Scenario;
using board_sim_test::BoardRequests;
using board_sim_test::RawBoardClient;

constexpr std::chrono::milliseconds kWait{5000};

std::string Frame(const cleaning_component::CleaningComponentRequest& request) {
  std::vector<uint8_t> frame;
  bottom_interact_center::BoardFrame::Encode(request, &frame);
  return std::string(frame.begin(), frame.end());
}

BoardSimulator::Options EphemeralPorts() {
  BoardSimulator::Options options;
  options.procter_port = 0;
  options.light_port = 0;
  return options;
}

class BoardSimTraffic : public ::testing::Test {
protected:
  void SetUp() override {
    BoardSimulator::Options options = EphemeralPorts();
    options.on_event = [this](const std::string& line) {
      std::lock_guard<std::mutex> lock(events_mutex_);
      events_.push_back(line);
    };
    sim_ = std::make_unique<BoardSimulator>(options);
    std::string reason;
    ASSERT_TRUE(sim_->Start(&reason)) << reason;
  }

  std::vector<std::string> Events() {
    std::lock_guard<std::mutex> lock(events_mutex_);
    return events_;
  }

  std::mutex events_mutex_;
  std::vector<std::string> events_;
  std::unique_ptr<BoardSimulator> sim_;
};

TEST_F(BoardSimTraffic, RecordsEveryRequestWithLinkKindAndScenario) {
  sim_->SetScenario(CommandKind::kWheel, Scenario::Error(2));
  RawBoardClient procter(sim_->procter_port());
  RawBoardClient light(sim_->light_port());
  ASSERT_TRUE(procter.SendRequest(BoardRequests::Wheel(5, 2)));
  ASSERT_TRUE(procter.NextResponse(kWait));
  ASSERT_TRUE(light.SendRequest(BoardRequests::FillLight(6, 3)));
  ASSERT_TRUE(sim_->WaitForRequests(2, kWait));

  const auto requests = sim_->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].link, Link::kProcter);
  EXPECT_EQ(requests[0].kind, CommandKind::kWheel);
  EXPECT_EQ(requests[0].request.request_id(), 5);
  EXPECT_EQ(requests[0].request.wheel_cmd().cmd(), cleaning_component::WheelCmd_Lock);
  EXPECT_EQ(requests[0].answered_with.ToString(), "error:2");
  EXPECT_EQ(requests[1].link, Link::kLight);
  EXPECT_EQ(requests[1].kind, CommandKind::kLight);
  EXPECT_EQ(requests[1].request.led_cmd().fill_light_led().mode(),
            cleaning_component::LED_MODE_BLINK);
}

TEST_F(BoardSimTraffic, EventLineShowsTheDecodedRequest) {
  sim_->SetScenario(CommandKind::kWheel, Scenario::Error(2));
  RawBoardClient procter(sim_->procter_port());
  ASSERT_TRUE(procter.SendRequest(BoardRequests::Wheel(7, 2)));
  ASSERT_TRUE(procter.NextResponse(kWait));  // the line is reported before the answer is written
  bool found = false;
  for (const auto& line : Events()) {
    found |= line == "[procter] wheel: request_id: 7 wheel_cmd { cmd: WheelCmd_Lock } -> error:2";
  }
  EXPECT_TRUE(found);
}

TEST_F(BoardSimTraffic, WaitForRequestsTimesOutWhenShort) {
  EXPECT_FALSE(sim_->WaitForRequests(1, std::chrono::milliseconds(20)));
}

TEST_F(BoardSimTraffic, RequestsArrivingTogetherOrInPiecesAreAllServed) {
  RawBoardClient procter(sim_->procter_port());
  ASSERT_TRUE(procter.Send(Frame(BoardRequests::Station(1)) + Frame(BoardRequests::Station(2))));
  const std::string third = Frame(BoardRequests::Wheel(3, 1));
  for (char byte : third) {
    ASSERT_TRUE(procter.Send(std::string(1, byte)));
  }
  for (int32_t id : {1, 2, 3}) {
    const auto response = procter.NextResponse(kWait);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->response_id(), id);
  }
}

TEST_F(BoardSimTraffic, UndecodableFramesAreCountedAndSkipped) {
  RawBoardClient procter(sim_->procter_port());
  ASSERT_TRUE(procter.Send(std::string("\x02\x00\x08\xFF", 4)));  // does not parse
  ASSERT_TRUE(procter.Send(Frame(BoardRequests::Station(8))));
  const auto response = procter.NextResponse(kWait);
  ASSERT_TRUE(response);
  EXPECT_EQ(response->response_id(), 8);
  EXPECT_EQ(sim_->UndecodableFrames(Link::kProcter), 1u);
  EXPECT_EQ(sim_->Requests().size(), 1u);
}

TEST_F(BoardSimTraffic, OversizeRequestDropsTheBufferAndTheLinkGoesOn) {
  RawBoardClient procter(sim_->procter_port());
  // What follows the bad header in the same read goes with it.
  ASSERT_TRUE(procter.Send(std::string("\xFF\xFF", 2) + Frame(BoardRequests::Station(9))));
  ASSERT_TRUE(sim_->WaitForUndecodableFrames(Link::kProcter, 1, kWait));
  ASSERT_TRUE(procter.Send(Frame(BoardRequests::Station(10))));
  const auto response = procter.NextResponse(kWait);
  ASSERT_TRUE(response);
  EXPECT_EQ(response->response_id(), 10);
  EXPECT_EQ(sim_->UndecodableFrames(Link::kProcter), 1u);
  EXPECT_EQ(sim_->Requests().size(), 1u);
}

TEST_F(BoardSimTraffic, CountsConnectionsPerLink) {
  RawBoardClient first(sim_->procter_port());
  RawBoardClient second(sim_->procter_port());
  RawBoardClient light(sim_->light_port());
  EXPECT_TRUE(sim_->WaitForConnections(Link::kProcter, 2, kWait));
  EXPECT_TRUE(sim_->WaitForConnections(Link::kLight, 1, kWait));
  EXPECT_FALSE(sim_->WaitForConnections(Link::kLight, 2, std::chrono::milliseconds(20)));
  sim_->ClearRecord();
  EXPECT_EQ(sim_->Connections(Link::kProcter), 0u);
}

TEST_F(BoardSimTraffic, CloseConnectionsDropsThemAndKeepsListening) {
  RawBoardClient procter(sim_->procter_port());
  RawBoardClient light(sim_->light_port());
  ASSERT_TRUE(sim_->WaitForConnections(Link::kLight, 1, kWait));
  ASSERT_TRUE(sim_->WaitForConnections(Link::kProcter, 1, kWait));
  sim_->CloseConnections();
  EXPECT_TRUE(procter.WaitForClose(kWait));
  EXPECT_TRUE(light.WaitForClose(kWait));

  RawBoardClient again(sim_->procter_port());
  ASSERT_TRUE(again.SendRequest(BoardRequests::Station(10)));
  EXPECT_TRUE(again.NextResponse(kWait));
}

TEST_F(BoardSimTraffic, StopClosesAndStartListensAgainOnTheSamePorts) {
  RawBoardClient procter(sim_->procter_port());
  ASSERT_TRUE(sim_->WaitForConnections(Link::kProcter, 1, kWait));
  const uint16_t port = sim_->procter_port();
  sim_->Stop();
  EXPECT_TRUE(procter.WaitForClose(kWait));
  EXPECT_FALSE(RawBoardClient(port).connected());

  std::string reason;
  ASSERT_TRUE(sim_->Start(&reason)) << reason;
  EXPECT_EQ(sim_->procter_port(), port);
  RawBoardClient again(port);
  ASSERT_TRUE(again.SendRequest(BoardRequests::Station(11)));
  EXPECT_TRUE(again.NextResponse(kWait));
}

TEST(BoardSimStart, FailsWithAReasonWhenAPortIsTaken) {
  BoardSimulator first(EphemeralPorts());
  ASSERT_TRUE(first.Start());
  BoardSimulator::Options clash = EphemeralPorts();
  clash.light_port = first.light_port();
  BoardSimulator second(clash);
  std::string reason;
  EXPECT_FALSE(second.Start(&reason));
  EXPECT_NE(reason.find(std::to_string(first.light_port())), std::string::npos) << reason;

  // The simulator that owns the port goes on serving.
  RawBoardClient procter(first.procter_port());
  ASSERT_TRUE(procter.SendRequest(BoardRequests::Station(12)));
  EXPECT_TRUE(procter.NextResponse(kWait));
}

}  // namespace
