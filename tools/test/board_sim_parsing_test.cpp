// The simulator's pure pieces: command kinds, scenarios, reply plans and the program's options.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board_requests.hpp"
#include "board_sim/command_kind.hpp"
#include "board_sim/command_line.hpp"
#include "board_sim/reply_builder.hpp"
#include "board_sim/scenario.hpp"

namespace {

using board_sim::ClassifyRequest;
using board_sim::CommandKind;
using board_sim::CommandLine;
using board_sim::ReplyBuilder;
using board_sim::Scenario;
using board_sim_test::BoardRequests;

TEST(CommandKindClassify, EveryNodeCommandShape) {
  EXPECT_EQ(ClassifyRequest(BoardRequests::ProcterMotors(1)), CommandKind::kProcterMotors);
  EXPECT_EQ(ClassifyRequest(BoardRequests::SmfMotors(1)), CommandKind::kSmfMotors);
  EXPECT_EQ(ClassifyRequest(BoardRequests::HandPump(1)), CommandKind::kHandPump);
  EXPECT_EQ(ClassifyRequest(BoardRequests::SelfClean(1)), CommandKind::kSelfClean);
  EXPECT_EQ(ClassifyRequest(BoardRequests::DirtyTank(1)), CommandKind::kDirtyTank);
  EXPECT_EQ(ClassifyRequest(BoardRequests::Station(1)), CommandKind::kStation);
  EXPECT_EQ(ClassifyRequest(BoardRequests::Wheel(1, 1)), CommandKind::kWheel);
  EXPECT_EQ(ClassifyRequest(BoardRequests::Wheel(1, 0)), CommandKind::kWheel);
  EXPECT_EQ(ClassifyRequest(BoardRequests::Version(1)), CommandKind::kVersion);
  EXPECT_EQ(ClassifyRequest(BoardRequests::Platform(1, 4)), CommandKind::kPlatform);
  EXPECT_EQ(ClassifyRequest(BoardRequests::FillLight(1, 0)), CommandKind::kLight);
  EXPECT_EQ(ClassifyRequest(BoardRequests::Request()), CommandKind::kOther);
}

TEST(CommandKindClassify, SelfCleanOffCarriesNoPump) {
  BoardRequests::Request request;
  request.mutable_self_clean()->set_time(30);
  EXPECT_EQ(ClassifyRequest(request), CommandKind::kSelfClean);
}

TEST(CommandKindNames, RoundTripAndUnknown) {
  for (CommandKind kind : board_sim::AllCommandKinds()) {
    EXPECT_EQ(board_sim::ParseCommandKind(board_sim::CommandKindName(kind)), kind);
  }
  EXPECT_FALSE(board_sim::ParseCommandKind("wheels"));
}

TEST(ScenarioText, RoundTrip) {
  for (const std::string text :
       {"accept", "error:2", "error:-7", "silent", "other-id-first", "garbage", "split", "coalesce",
        "close", "version:V1.2.3", "version:", "oversize"}) {
    std::string error;
    const auto scenario = Scenario::Parse(text, &error);
    ASSERT_TRUE(scenario) << text << ": " << error;
    EXPECT_EQ(scenario->ToString(), text);
  }
}

TEST(ScenarioText, VersionTextMayHoldColons) {
  std::string error;
  const auto scenario = Scenario::Parse("version:V1:rc2", &error);
  ASSERT_TRUE(scenario);
  EXPECT_EQ(scenario->version_text(), "V1:rc2");
}

TEST(ScenarioText, RejectsWhatItDoesNotKnow) {
  for (const std::string text :
       {"", "acept", "error", "error:", "error:x", "error:99999999999", "silent:1", "version"}) {
    std::string error;
    EXPECT_FALSE(Scenario::Parse(text, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

TEST(ReplyPlanShape, SplitCutsHeaderAndPayload) {
  const auto plan = ReplyBuilder::Build(Scenario::Of(Scenario::Kind::kSplit),
                                        BoardRequests::Wheel(1700000000, 1), CommandKind::kWheel);
  ASSERT_EQ(plan.writes.size(), 3u);
  EXPECT_TRUE(plan.pause_between_writes);
  EXPECT_EQ(plan.writes[0].size(), 1u);
  const auto whole = ReplyBuilder::Build(Scenario::Of(Scenario::Kind::kAccept),
                                         BoardRequests::Wheel(1700000000, 1), CommandKind::kWheel);
  ASSERT_EQ(whole.writes.size(), 1u);
  EXPECT_EQ(plan.writes[0] + plan.writes[1] + plan.writes[2], whole.writes[0]);
}

TEST(ReplyPlanShape, SplitOfAnEmptyAnswerIsTwoHeaderBytes) {
  const auto plan = ReplyBuilder::Build(Scenario::Of(Scenario::Kind::kSplit),
                                        BoardRequests::Wheel(0, 1), CommandKind::kWheel);
  EXPECT_EQ(plan.writes, (std::vector<std::string>{std::string(1, '\0'), std::string(1, '\0')}));
}

TEST(ReplyPlanShape, OtherIdFirstIsTwoWritesCoalesceIsOne) {
  const auto request = BoardRequests::Station(100);
  const auto other_first = ReplyBuilder::Build(Scenario::Of(Scenario::Kind::kOtherIdFirst), request,
                                               CommandKind::kStation);
  const auto coalesce =
      ReplyBuilder::Build(Scenario::Of(Scenario::Kind::kCoalesce), request, CommandKind::kStation);
  ASSERT_EQ(other_first.writes.size(), 2u);
  ASSERT_EQ(coalesce.writes.size(), 1u);
  EXPECT_EQ(other_first.writes[0] + other_first.writes[1], coalesce.writes[0]);
}

TEST(ReplyPlanShape, OtherIdOfTheSmallestIdWraps) {
  const auto plan = ReplyBuilder::Build(Scenario::Of(Scenario::Kind::kCoalesce),
                                        BoardRequests::Station(INT32_MIN), CommandKind::kStation);
  ASSERT_EQ(plan.writes.size(), 1u);
  cleaning_component::CleaningComponentResponse first;
  const std::string& bytes = plan.writes[0];
  ASSERT_TRUE(first.ParseFromString(bytes.substr(2, static_cast<uint8_t>(bytes[0]))));
  EXPECT_EQ(first.response_id(), INT32_MAX);
}

TEST(ReplyPlanShape, CloseAndSilentWriteNothing) {
  const auto request = BoardRequests::Station(1);
  const auto close =
      ReplyBuilder::Build(Scenario::Of(Scenario::Kind::kClose), request, CommandKind::kStation);
  const auto silent =
      ReplyBuilder::Build(Scenario::Of(Scenario::Kind::kSilent), request, CommandKind::kStation);
  EXPECT_TRUE(close.writes.empty());
  EXPECT_TRUE(close.close_connection);
  EXPECT_TRUE(silent.writes.empty());
  EXPECT_FALSE(silent.close_connection);
}

TEST(ProgramOptions, ScenariosPortsAndDefault) {
  const auto parsed =
      CommandLine::Parse({"--scenario", "wheel=error:2", "--scenario=version=version:V1",
                          "--default", "silent", "--procter-port", "9000", "--light-port=0"});
  ASSERT_EQ(parsed.action(), CommandLine::Action::kRun) << parsed.error();
  EXPECT_EQ(parsed.options().procter_port, 9000);
  EXPECT_EQ(parsed.options().light_port, 0);
  EXPECT_EQ(parsed.options().default_scenario.ToString(), "silent");
  EXPECT_EQ(parsed.options().scenarios.at(CommandKind::kWheel).ToString(), "error:2");
  EXPECT_EQ(parsed.options().scenarios.at(CommandKind::kVersion).version_text(), "V1");
}

TEST(ProgramOptions, DefaultsAreTheBoardPorts) {
  const auto parsed = CommandLine::Parse({});
  ASSERT_EQ(parsed.action(), CommandLine::Action::kRun);
  EXPECT_EQ(parsed.options().procter_port, 8080);
  EXPECT_EQ(parsed.options().light_port, 8081);
  EXPECT_EQ(parsed.options().default_scenario.ToString(), "accept");
}

TEST(ProgramOptions, HelpWinsOverTheRest) {
  EXPECT_EQ(CommandLine::Parse({"--default", "accept", "-h"}).action(), CommandLine::Action::kHelp);
  EXPECT_EQ(CommandLine::Parse({"--help"}).action(), CommandLine::Action::kHelp);
}

TEST(ProgramOptions, ErrorsNameWhatIsWrong) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--verbose"}, "unknown option '--verbose'"},
      {{"--procter-port"}, "--procter-port needs a value"},
      {{"--light-port", "70000"}, "'70000' is not a port number"},
      {{"--procter-port", "80a"}, "'80a' is not a port number"},
      {{"--scenario", "wheel"}, "expected KIND=SCENARIO"},
      {{"--scenario", "wheels=accept"}, "unknown command kind 'wheels'"},
      {{"--scenario", "wheel=explode"}, "unknown scenario 'explode'"},
      {{"--default", "error:x"}, "error code 'x'"},
      {{"extra"}, "unknown option 'extra'"},
  };
  for (const auto& [args, expected] : cases) {
    const auto parsed = CommandLine::Parse(args);
    EXPECT_EQ(parsed.action(), CommandLine::Action::kError) << expected;
    EXPECT_NE(parsed.error().find(expected), std::string::npos) << parsed.error();
  }
}

}  // namespace
