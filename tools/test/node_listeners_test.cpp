// The node's listening half against its real executable: the board's reports on the report
// connection, its sensor and motor datagrams, the battery unit on a pseudo-terminal, and what the
// node makes of them at "do_task", "robot_info_update" and "/body_driver_diag_topic".
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <google/protobuf/text_format.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "board_sim/battery_unit.hpp"
#include "board_sim/datagram_sender.hpp"
#include "board_sim/report_pusher.hpp"
#include "bottom_interact_center/constants.hpp"
#include "support/listener_peer.hpp"
#include "support/loopback_board_test.hpp"
#include "support/node_process.hpp"
#include "support/node_test_support.hpp"
#include "support/ros_peer.hpp"

namespace node_test {
namespace {

namespace cc = cleaning_component;
using Clock = std::chrono::steady_clock;

template <typename MessageT>
MessageT FromText(const std::string& text) {
  MessageT message;
  EXPECT_TRUE(google::protobuf::TextFormat::ParseFromString(text, &message)) << text;
  return message;
}

cc::CleanRobotReport Report(const std::string& text) {
  return FromText<cc::CleanRobotReport>(text);
}

TaskCenter::Response TaskResult(int32_t result) {
  TaskCenter::Response response;
  response.result = result;
  return response;
}

RobotInfoUpdate::Response InfoStatus(int32_t status) {
  RobotInfoUpdate::Response response;
  response.status = status;
  return response;
}

// Reports of about 1 KB each, numbered from first on: unknown fields make them large.
std::vector<cc::CleanRobotReport> LargeReports(int first, int count) {
  std::vector<cc::CleanRobotReport> reports;
  for (int i = first; i < first + count; ++i) {
    auto report = Report("work_status { status: " + std::to_string(100 + i) + " }");
    report.GetReflection()->MutableUnknownFields(&report)->AddLengthDelimited(
        1000, std::string(1000, static_cast<char>('a' + i % 26)));
    reports.push_back(report);
  }
  return reports;
}

std::string Frames(const std::vector<cc::CleanRobotReport>& reports) {
  std::string bytes;
  for (const auto& report : reports) {
    bytes += board_sim::ReportPusher::Frame(report);
  }
  return bytes;
}

// The node with nothing else configured: no battery unit.
std::vector<std::string> NoBattery() {
  return {"-p", "battery_source_path:=''"};
}

class NodeListenersTest : public LoopbackBoardTest {
protected:
  // Starts the node and waits until it has discovered the peers.
  void StartNode(const std::vector<std::string>& ros_args = NoBattery()) {
    node_ = std::make_unique<NodeProcess>(ros_args);
    ros_ = std::make_unique<RosPeer>();
    ASSERT_TRUE(ros_->WaitForNode());
  }

  // The reports forwarded so far, waiting for count of them.
  std::vector<cc::CleanRobotReport> ForwardedReports(std::size_t count) {
    std::vector<cc::CleanRobotReport> reports;
    for (const auto& info : peer_->WaitForRobotInfos(count, 15s)) {
      EXPECT_TRUE(info.has_clean_robot_report());
      EXPECT_FALSE(info.has_sensor_data() || info.has_motor_data());
      reports.push_back(info.clean_robot_report());
    }
    return reports;
  }

  const test_support::CapturedStream& log() { return node_->err(); }

  std::unique_ptr<ListenerPeer> peer_ = std::make_unique<ListenerPeer>();
  std::unique_ptr<NodeProcess> node_;
  std::unique_ptr<RosPeer> ros_;
  board_sim::ReportPusher board_;
};

TEST_F(NodeListenersTest, PauseButtonAndDiagnosticReportsAreHandledThenForwarded) {
  StartNode();
  ASSERT_TRUE(board_.Connect(10s));

  // Every field travels, an undeclared enum value included.
  const auto pause = Report(
      "emergency_btn: 7 work_status { status: 3 } pause_btn: WorkPause bumper_status: BumperTrig "
      "obstacle_sensors { obstacle_left_low: ObstacleSensor_Trigger }");
  ASSERT_TRUE(board_.Push(pause));
  auto reports = ForwardedReports(1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(SameMessage(pause, reports[0]));
  // Stamped with the node's clock, which follows the system clock.
  EXPECT_NEAR(peer_->robot_info().Requests().front().header.stamp.sec, time(nullptr), 5);
  auto tasks = peer_->task_center().Requests();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0].task_type, 200);
  EXPECT_EQ(tasks[0].task_cmd, 5);
  EXPECT_TRUE(log().WaitFor("INFO SendPauseSingle"));
  EXPECT_TRUE(log().WaitFor("INFO After client.call"));

  ASSERT_TRUE(board_.Push(Report("pause_btn: ReturnBaseStation")));
  ASSERT_EQ(ForwardedReports(2).size(), 2u);
  tasks = peer_->task_center().Requests();
  ASSERT_EQ(tasks.size(), 2u);
  EXPECT_EQ(tasks[1].task_type, 2);
  EXPECT_EQ(tasks[1].task_cmd, 103);
  EXPECT_TRUE(log().WaitFor("INFO BottomInteractCenter::SendReturnCharge"));

  // Resume is not supported but the report still travels; no task-center request.
  ASSERT_TRUE(board_.Push(Report("pause_btn: WorkResume")));
  ASSERT_EQ(ForwardedReports(3).size(), 3u);
  EXPECT_TRUE(log().WaitFor("ERROR ErrorCode: 100400018, No support workresume cmd"));

  // The board's 64-bit event id reaches the topic as its low 32 bits, the report as it was.
  const auto diag = Report("diag_event { event_id: 4294967301 event_status: 2 }");
  ASSERT_TRUE(board_.Push(diag));
  reports = ForwardedReports(4);
  ASSERT_EQ(reports.size(), 4u);
  EXPECT_TRUE(SameMessage(diag, reports[3]));
  const auto events = peer_->body_driver_events().WaitFor(1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].event_id, 5);
  EXPECT_EQ(events[0].event_status, 2);
  EXPECT_GT(events[0].header.stamp.sec, 0);
  EXPECT_TRUE(log().WaitFor("INFO Publish body driver diag event: event_id=5, event_status=2"));

  // A refused pause ends the handling: its diagnostic event is not published, nothing forwarded.
  peer_->task_center().AnswerWith(TaskResult(1));
  ASSERT_TRUE(
      board_.Push(Report("pause_btn: WorkPause diag_event { event_id: 9 event_status: 1 }")));
  EXPECT_TRUE(log().WaitFor("ERROR ErrorCode: 100400006, Send pause single failed!"));
  EXPECT_TRUE(log().WaitFor("ERROR ErrorCode: 100400017, HandleReport fail"));
  peer_->task_center().AnswerWith(TaskResult(1));
  ASSERT_TRUE(board_.Push(Report("pause_btn: ReturnBaseStation")));
  EXPECT_TRUE(log().WaitFor("ERROR ErrorCode: 100400008, Add charge task failed!"));
  EXPECT_EQ(peer_->task_center().WaitFor(4).size(), 4u);
  ASSERT_TRUE(log().WaitForCount("ERROR ErrorCode: 100400017, HandleReport fail", 2));
  EXPECT_EQ(peer_->robot_info().Requests().size(), 4u);
  EXPECT_EQ(peer_->body_driver_events().Messages().size(), 1u);
}

TEST_F(NodeListenersTest, ReportsSplitIntoBytesOrBurstBeyondTheBufferAllArriveInOrder) {
  peer_->robot_info().AnswerWith(InfoStatus(0));
  StartNode();
  ASSERT_TRUE(board_.Connect(10s));

  // Byte by byte: each report is handled once its last byte is in, an empty one (00 00) too.
  std::vector<cc::CleanRobotReport> sent{Report("work_status { status: 1 }"),
                                         Report("power_btn: PowerBTN_Trigger"),
                                         cc::CleanRobotReport()};
  for (const auto& report : sent) {
    ASSERT_TRUE(board_.PushSplit(report));
  }
  // A burst of about 40 KB in one write, far beyond the node's 16 KB buffer: the board is held
  // back until there is room, and nothing is lost.
  const auto burst = LargeReports(0, 40);
  ASSERT_TRUE(board_.PushCoalesced(burst));
  sent.insert(sent.end(), burst.begin(), burst.end());

  const auto reports = ForwardedReports(sent.size());
  ASSERT_EQ(reports.size(), sent.size());
  for (std::size_t i = 0; i < sent.size(); ++i) {
    EXPECT_TRUE(SameMessage(sent[i], reports[i])) << "report " << i;
  }
  EXPECT_EQ(log().Count("100400034"), 0u);
}

// A board that reboots right after a burst: what it sent before its close or reset is handled.
TEST_F(NodeListenersTest, ReportsSentJustBeforeTheBoardClosesOrResetsAreAllHandledInOrder) {
  peer_->robot_info().AnswerWith(InfoStatus(0));
  StartNode();
  // About 40 KB and half a frame, then the close: the node's 16 KB buffer is full, the rest still
  // in the socket. The whole reports are handled; the half frame goes with the connection.
  auto sent = LargeReports(0, 40);
  const std::string half = Frames({Report("work_status { status: 1 }")}).substr(0, 3);
  ASSERT_TRUE(board_.Connect(10s));
  ASSERT_TRUE(board_.PushRaw(Frames(sent) + half));
  board_.Close();
  // The next connection's reports queue behind them, starting on a frame boundary.
  const auto next = LargeReports(40, 3);
  ASSERT_TRUE(board_.Connect(10s));
  ASSERT_TRUE(board_.PushCoalesced(next));
  sent.insert(sent.end(), next.begin(), next.end());
  auto reports = ForwardedReports(sent.size());
  ASSERT_EQ(reports.size(), sent.size());

  // Reports the node has read when the board resets the connection are still handled.
  const std::vector<cc::CleanRobotReport> before_reset{Report("work_status { status: 2 }"),
                                                       Report("power_btn: PowerBTN_Trigger"),
                                                       Report("bumper_status: BumperTrig")};
  const std::size_t mark = log().Size();
  ASSERT_TRUE(board_.PushCoalesced(before_reset));
  ASSERT_TRUE(log().WaitFor(
      "INFO listener rcv data, data len " + std::to_string(Frames(before_reset).size()), mark));
  board_.Reset();
  sent.insert(sent.end(), before_reset.begin(), before_reset.end());
  reports = ForwardedReports(sent.size());
  ASSERT_EQ(reports.size(), sent.size());
  for (std::size_t i = 0; i < sent.size(); ++i) {
    EXPECT_TRUE(SameMessage(sent[i], reports[i])) << "report " << i;
  }
  // Each end is seen once, when everything before it has been read; nothing was misframed.
  const std::string ended = "INFO The connection has been disconnected, clear buffer";
  EXPECT_TRUE(log().WaitForCount(ended, 2));
  EXPECT_EQ(log().Count(ended), 2u);
  EXPECT_EQ(log().Count("ERROR ErrorCode: 100400013"), 0u) << log().Text();
}

TEST_F(NodeListenersTest, BadFramesDropTheConnectionWithWhatIsBuffered) {
  StartNode();
  ASSERT_TRUE(board_.Connect(10s));

  // A body that does not parse, with a good report behind it in the same write: both go.
  std::string garbage("\x03\x00\xff\xff\xff", 5);
  ASSERT_TRUE(
      board_.PushRaw(garbage + board_sim::ReportPusher::Frame(Report("pause_btn: WorkPause"))));
  EXPECT_TRUE(log().WaitFor(
      "ERROR ErrorCode: 100400013, Deserialize CleanRobotReport error, will close connection"));
  // The node drops the connection when its pending read returns: one more byte wakes it.
  ASSERT_TRUE(board_.PushRaw(std::string(1, '\0')));
  EXPECT_TRUE(board_.WaitClosedByPeer(15s));

  // A frame that can never fit the buffer is refused as soon as its length is in.
  ASSERT_TRUE(board_.Connect(10s));
  ASSERT_TRUE(board_.PushRaw(std::string("\xff\xff", 2)));
  EXPECT_TRUE(log().WaitFor(
      "ERROR ErrorCode: 100400034, cmd report server buffer not enough space, pkg lost"));
  ASSERT_TRUE(board_.PushRaw(std::string(1, '\0')));
  EXPECT_TRUE(board_.WaitClosedByPeer(15s));

  // The next connection starts empty: its report is the first one handled.
  ASSERT_TRUE(board_.Connect(10s));
  const auto good = Report("bumper_status: BumperResume");
  ASSERT_TRUE(board_.Push(good));
  const auto reports = ForwardedReports(1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(SameMessage(good, reports[0]));
  EXPECT_TRUE(peer_->task_center().Requests().empty());

  // The board going away is a lost link on the task-center topic.
  ros_->link_events().Clear();
  board_.Close();
  EXPECT_TRUE(log().WaitFor("INFO The connection has been disconnected, clear buffer"));
  const auto events = ros_->link_events().WaitFor(1);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().event_id, 5303);
  EXPECT_EQ(events.back().event_status, 1);
}

TEST_F(NodeListenersTest, SensorAndMotorDatagramsAreCheckedCorrectedAndForwarded) {
  StartNode();
  board_sim::DatagramSender board;

  // The dust-box level is the larger byte of its low 16 bits; the tool box always reads empty.
  const std::vector<std::pair<int32_t, int32_t>> dust_levels{
      {0x0305, 5}, {0x0503, 5}, {-1, 255}, {200, 200}};
  for (const auto& [sent, _] : dust_levels) {
    ASSERT_TRUE(board.SendSensor(FromText<bottom_internal::SensorDataProto>(
        "battery { status: SensorData_Valid remain_ratio: 60 voltage: 24000 } "
        "dust_box { status: SensorData_Valid value: " +
        std::to_string(sent) +
        " } inplace_data { main_swp: Inplace_Detect_Not_Exist tool_box_slot_2: "
        "Inplace_Detect_Exist } ebd_err: BoardStatus_LOW_VOLTAGE")));
  }
  const auto infos = peer_->WaitForRobotInfos(dust_levels.size());
  ASSERT_EQ(infos.size(), dust_levels.size());
  for (std::size_t i = 0; i < infos.size(); ++i) {
    ASSERT_TRUE(infos[i].has_sensor_data()) << i;
    EXPECT_FALSE(infos[i].has_clean_robot_report() || infos[i].has_motor_data()) << i;
    auto expected = FromText<bottom_internal::SensorDataProto>(
        "battery { status: SensorData_Valid remain_ratio: 60 voltage: 24000 } "
        "dust_box { status: SensorData_Valid value: " +
        std::to_string(dust_levels[i].second) +
        " } inplace_data { main_swp: Inplace_Detect_Not_Exist tool_box_slot_1: "
        "Inplace_Detect_Not_Exist tool_box_slot_2: Inplace_Detect_Not_Exist tool_box_slot_3: "
        "Inplace_Detect_Not_Exist tool_box_slot_4: Inplace_Detect_Not_Exist } "
        "ebd_err: BoardStatus_LOW_VOLTAGE");
    EXPECT_TRUE(SameMessage(expected, infos[i].sensor_data())) << i;
  }

  // Motor data travels field for field, seq included.
  const auto motors = FromText<motor_data::MotorDataRep>(
      "seq: 4000000000 motor_num: 2 edge_left_motor { motor_rpm: 1200 motor_current: 300 "
      "motor_pwm: 55 motor_status: DevVal_Pos_Moving } suction_rake_lift_motor { motor_rpm: 1 }");
  ASSERT_TRUE(board.SendMotor(motors));
  auto forwarded = peer_->WaitForRobotInfos(infos.size() + 1);
  ASSERT_EQ(forwarded.size(), infos.size() + 1);
  ASSERT_TRUE(forwarded.back().has_motor_data());
  EXPECT_TRUE(SameMessage(motors, forwarded.back().motor_data()));
  EXPECT_FALSE(forwarded.back().has_sensor_data() || forwarded.back().has_clean_robot_report());

  // An empty body is a message; it gains the dust box and the tool-box slots.
  const std::size_t before = forwarded.size();
  ASSERT_TRUE(board.SendRaw(bottom_interact_center::kRobotInfoPort, std::string(2, '\0')));
  ASSERT_TRUE(board.SendRaw(bottom_interact_center::kMotorDataPort, std::string(2, '\0')));
  forwarded = peer_->WaitForRobotInfos(before + 2);
  ASSERT_EQ(forwarded.size(), before + 2);
  for (const auto& info : {forwarded[before], forwarded[before + 1]}) {
    if (info.has_sensor_data()) {
      EXPECT_EQ(info.sensor_data().ShortDebugString(),
                "dust_box { } inplace_data { tool_box_slot_1: Inplace_Detect_Not_Exist "
                "tool_box_slot_2: Inplace_Detect_Not_Exist tool_box_slot_3: "
                "Inplace_Detect_Not_Exist tool_box_slot_4: Inplace_Detect_Not_Exist }");
    } else {
      EXPECT_TRUE(info.has_motor_data());
      EXPECT_EQ(info.motor_data().ByteSizeLong(), 0u);
    }
  }

  // Too short, a length beyond the datagram, and a datagram beyond 10240 bytes cut to them.
  std::string oversize = board_sim::DatagramSender::Frame(motors);
  const std::string long_tail(11000, '\x01');
  std::string beyond("\xf8\x2a", 2);  // 11000 bytes declared: more than the first 10240
  beyond += long_tail;
  for (const int port :
       {bottom_interact_center::kRobotInfoPort, bottom_interact_center::kMotorDataPort}) {
    ASSERT_TRUE(board.SendRaw(port, ""));
    ASSERT_TRUE(board.SendRaw(port, std::string(1, '\0')));
    ASSERT_TRUE(board.SendRaw(port, std::string("\x05\x00\x08", 3)));
    ASSERT_TRUE(board.SendRaw(port, beyond));
  }
  // A good frame at the front of a datagram beyond the limit: the rest is ignored.
  ASSERT_TRUE(board.SendRaw(bottom_interact_center::kMotorDataPort, oversize + long_tail));
  forwarded = peer_->WaitForRobotInfos(before + 3);
  ASSERT_EQ(forwarded.size(), before + 3);
  EXPECT_TRUE(SameMessage(motors, forwarded.back().motor_data()));
  // The sensor port's datagrams are handled on a thread of their own: wait for their lines too.
  for (const auto& [line, count] : std::vector<std::pair<std::string, std::size_t>>{
           {"ERROR ErrorCode: 100400020, Parse data efailed, data too small", 4},
           {"ERROR ErrorCode: 100400013, Deserialize SensorDataProto error", 2},
           {"ERROR ErrorCode: 100400013, Deserialize MotorDataRep error", 2}}) {
    EXPECT_TRUE(log().WaitForCount(line, count)) << line;
    EXPECT_EQ(log().Count(line), count) << line;
  }
}

TEST_F(NodeListenersTest, AFreshBatteryReadingReplacesTheBoardsFigures) {
  board_sim::BatteryUnit battery;
  std::string reason;
  ASSERT_TRUE(battery.Open(&reason)) << reason;
  StartNode({"-p", "battery_source_path:=" + battery.path()});
  // -100 x 10 mA, 6666 cycles (x 10 wraps in 16 bits), 5230 x 10 mV, 77 %.
  battery.Stream({77, -100, 6666, 5230});
  board_sim::DatagramSender board;
  const auto board_data = FromText<bottom_internal::SensorDataProto>(
      "battery { status: SensorData_Valid remain_ratio: 10 voltage: 1 current: 2 "
      "charge_circle: 3 temp: 25 charge_status: Charging }");

  // The first datagram opens the battery tty; the reading follows within a frame or two.
  const auto deadline = Clock::now() + 10s;
  bottom_internal::BatteryData forwarded;
  while (Clock::now() < deadline && forwarded.remain_ratio() != 77) {
    const std::size_t count = peer_->robot_info().Requests().size();
    ASSERT_TRUE(board.SendSensor(board_data));
    const auto infos = peer_->WaitForRobotInfos(count + 1);
    ASSERT_EQ(infos.size(), count + 1);
    forwarded = infos.back().sensor_data().battery();
  }
  EXPECT_EQ(forwarded.ShortDebugString(),
            "status: SensorData_Valid remain_ratio: 77 voltage: 52300 current: -1000 "
            "charge_circle: 66660 temp: 25 charge_status: NotCharging");
  EXPECT_TRUE(log().WaitFor("INFO port: " + battery.path()));
}

TEST_F(NodeListenersTest, AbsentServicesAreLoggedAndNothingIsForwarded) {
  peer_ = std::make_unique<ListenerPeer>(false);
  StartNode();
  ASSERT_TRUE(board_.Connect(10s));
  const auto pushed = Clock::now();
  ASSERT_TRUE(board_.Push(Report("pause_btn: WorkPause")));
  ASSERT_TRUE(log().WaitFor("ERROR ErrorCode: 101400002, Server:/do_task not exist"));
  // The call waited its 1 s for the service, and not much longer.
  EXPECT_GE(Clock::now() - pushed, 950ms);
  EXPECT_LT(Clock::now() - pushed, 4s);
  EXPECT_TRUE(log().WaitFor("ERROR ErrorCode: 100400017, HandleReport fail"));

  board_sim::DatagramSender board;
  ASSERT_TRUE(board.SendMotor(motor_data::MotorDataRep()));
  ASSERT_TRUE(log().WaitFor("ERROR ErrorCode: 101400002, Server:/robot_info_update not exist"));
  EXPECT_TRUE(log().WaitFor(
      "ERROR ErrorCode: 100400010, Update Robot Info failed!, robot_info_update_req status : 0"));
}

TEST_F(NodeListenersTest, RefusedOrUnansweredReportsAreLoggedAndStopStaysQuick) {
  StartNode();
  board_sim::DatagramSender board;
  peer_->robot_info().AnswerWith(InfoStatus(3));
  ASSERT_TRUE(board.SendMotor(motor_data::MotorDataRep()));
  EXPECT_TRUE(log().WaitFor(
      "ERROR ErrorCode: 100400010, Update Robot Info failed!, robot_info_update_req status : 3"));

  // No answer within 10 s: the request is given up, and the zeroed response is what is logged.
  peer_->robot_info().Hold();
  const std::size_t first = log().Size();
  const auto sent = Clock::now();
  ASSERT_TRUE(board.SendMotor(motor_data::MotorDataRep()));
  ASSERT_TRUE(log().WaitFor(
      "ERROR ErrorCode: 101400003, SyncCallService server:/robot_info_update timeout", first, 20s));
  EXPECT_GE(Clock::now() - sent, 9500ms);
  EXPECT_TRUE(log().WaitFor(
      "ERROR ErrorCode: 100400010, Update Robot Info failed!, robot_info_update_req status : 0",
      first));

  // Stopped while the motor listener waits for an answer and the report parser for the task
  // center: neither holds the exit up.
  peer_->task_center().Hold();
  ASSERT_TRUE(board.SendMotor(motor_data::MotorDataRep()));
  ASSERT_TRUE(board_.Connect(10s));
  ASSERT_TRUE(board_.Push(Report("pause_btn: WorkPause")));
  ASSERT_EQ(peer_->task_center().WaitFor(1).size(), 1u);
  ASSERT_EQ(peer_->robot_info().WaitFor(3).size(), 3u);
  EXPECT_EQ(node_->Terminate(3s), 0);
  // Every ROS entity went before the process's end: none failed against a middleware gone.
  EXPECT_EQ(log().Count("Failed to delete"), 0u) << log().Text();
  // The board was still connected: the stop is not mistaken for the board closing.
  EXPECT_EQ(log().Count("100400027"), 0u) << log().Text();
}

// A port that is taken ends the node from the listener's thread, after start-up went on.
TEST_F(NodeListenersTest, AListenerThatCannotBindEndsTheProcess) {
  struct TakenPort {
    int type;
    int port;
    const char* error;
  };
  for (const TakenPort& taken :
       {TakenPort{SOCK_STREAM, bottom_interact_center::kCmdReportPort,
                  "ERROR ErrorCode: 100400022, Bind Socket error: Address already in use(errornum: "
                  "98)"},
        TakenPort{SOCK_DGRAM, bottom_interact_center::kRobotInfoPort,
                  "ERROR ErrorCode: 100400030, Bind Socket error: Address already in use(errornum: "
                  "98)"},
        // Its listener binds every address, which a socket on one of them already blocks.
        TakenPort{SOCK_DGRAM, bottom_interact_center::kMotorDataPort,
                  "ERROR ErrorCode: 100400030, Bind Socket error: Address already in use(errornum: "
                  "98)"}}) {
    const int fd = socket(AF_INET, taken.type, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(taken.port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (taken.type == SOCK_STREAM) {
      // Earlier tests' report connections may linger in TIME_WAIT on this port.
      const int on = 1;
      setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    }
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    if (taken.type == SOCK_STREAM) {
      ASSERT_EQ(listen(fd, 1), 0);
    }
    NodeProcess node(NoBattery());
    EXPECT_EQ(node.WaitExit(15s), 255) << taken.port;
    EXPECT_EQ(node.err().Count(taken.error), 1u) << node.err().Text();
    close(fd);
  }
}

// The motor port listens on every interface, the sensor port on the host address only: a datagram
// to another address of this machine reaches the one and not the other.
TEST_F(NodeListenersTest, MotorDataIsTakenOnEveryAddressSensorDataOnlyOnTheHostAddress) {
  StartNode();
  board_sim::DatagramSender elsewhere("127.0.0.2");
  board_sim::DatagramSender host;
  const auto motors = FromText<motor_data::MotorDataRep>("seq: 7 motor_num: 1");
  ASSERT_TRUE(
      elsewhere.SendSensor(FromText<bottom_internal::SensorDataProto>("dust_box { value: 11 }")));
  ASSERT_TRUE(elsewhere.SendMotor(motors));
  ASSERT_TRUE(
      host.SendSensor(FromText<bottom_internal::SensorDataProto>("dust_box { value: 22 }")));
  // One thread takes the sensor datagrams in order: had the first arrived, it came before this.
  const auto infos = peer_->WaitForRobotInfos(2);
  ASSERT_EQ(infos.size(), 2u);
  const bool motor_first = infos[0].has_motor_data();
  const auto& motor = infos[motor_first ? 0 : 1];
  const auto& sensor = infos[motor_first ? 1 : 0];
  ASSERT_TRUE(motor.has_motor_data());
  EXPECT_TRUE(SameMessage(motors, motor.motor_data()));
  ASSERT_TRUE(sensor.has_sensor_data());
  EXPECT_EQ(sensor.sensor_data().dust_box().value(), 22);
}

}  // namespace
}  // namespace node_test

int main(int argc, char** argv) {
  return node_test::RunAllTests(argc, argv);
}
