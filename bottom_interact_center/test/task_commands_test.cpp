// The four task-center commands against a "do_task" service in the test process: what each asks
// for, and what an acceptance, a refusal and a node without its client make of it.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "bottom_interact_center/bottom_interact_center.hpp"
#include "bottom_interact_center/constants.hpp"
#include "support/node_environment.hpp"
#include "support/spun_nodes.hpp"
#include "velmoria_protocol/srv/task_center_srv.hpp"

namespace bottom_interact_center::test {
namespace {

using TaskCenterSrv = velmoria_protocol::srv::TaskCenterSrv;

struct TaskCommandCase {
  bool (BottomInteractCenter::*send)();
  int32_t task_type;
  int32_t task_cmd;
  std::string first_line;
  std::string refusal_line;
};

const std::vector<TaskCommandCase>& AllTaskCommands() {
  static const std::vector<TaskCommandCase> cases = {
      {&BottomInteractCenter::SendPauseSingle, 200, 5, "SendPauseSingle",
       "ErrorCode: 100400006, Send pause single failed!"},
      {&BottomInteractCenter::SendPauseTask, 7, 504, "SendPauseTask",
       "ErrorCode: 100400032, Pause task failed!"},
      {&BottomInteractCenter::SendRecoveryTask, 7, 505, "BottomInteractCenter::SendRecoveryTask",
       "ErrorCode: 100400007, Recovery task failed!"},
      {&BottomInteractCenter::SendReturnCharge, 2, 103, "BottomInteractCenter::SendReturnCharge",
       "ErrorCode: 100400008, Add charge task failed!"},
  };
  return cases;
}

// A task center that answers every command at once with the result it is told to give.
class TaskCommandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!NodeEnvironment::BoardIsLoopback()) {
      GTEST_SKIP() << "the node was not initialised";
    }
    service_ = peer_->create_service<TaskCenterSrv>(
        kTaskCenterService, [this](const std::shared_ptr<TaskCenterSrv::Request> request,
                                   std::shared_ptr<TaskCenterSrv::Response> response) {
          std::lock_guard<std::mutex> lock(mutex_);
          requests_.push_back(*request);
          response->result = result_;
        });
    spun_ = std::make_unique<SpunNodes>(std::vector<rclcpp::Node::SharedPtr>{g_node, peer_});
    // The node's client may take a moment to discover the service on a busy machine.
    for (int attempt = 0; attempt < 10 && !g_node->SendPauseSingle(); ++attempt) {
    }
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
    LogCapture::Clear();
  }

  void AnswerWith(int32_t result) {
    std::lock_guard<std::mutex> lock(mutex_);
    result_ = result;
  }

  std::vector<TaskCenterSrv::Request> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

  rclcpp::Node::SharedPtr peer_ = std::make_shared<rclcpp::Node>("task_center_peer");
  rclcpp::Service<TaskCenterSrv>::SharedPtr service_;
  std::mutex mutex_;
  std::vector<TaskCenterSrv::Request> requests_;
  int32_t result_ = 0;
  std::unique_ptr<SpunNodes> spun_;
};

TEST_F(TaskCommandsTest, EachCommandSendsItsTypeAndCommandAndIsTrueOnlyWhenAccepted) {
  for (const auto& command : AllTaskCommands()) {
    SCOPED_TRACE(command.first_line);
    LogCapture::Clear();
    const std::size_t sent = Requests().size();

    AnswerWith(0);
    EXPECT_TRUE((*g_node.*command.send)());
    AnswerWith(1);
    EXPECT_FALSE((*g_node.*command.send)());

    const auto requests = Requests();
    ASSERT_EQ(requests.size(), sent + 2);
    for (std::size_t i = sent; i < requests.size(); ++i) {
      EXPECT_EQ(requests[i].task_type, command.task_type);
      EXPECT_EQ(requests[i].task_cmd, command.task_cmd);
      EXPECT_TRUE(requests[i].task_param.empty());
    }
    EXPECT_EQ(LogCapture::Count(command.first_line), 2u);
    EXPECT_EQ(LogCapture::Count("After client.call"), 1u);
    EXPECT_EQ(LogCapture::Count(command.refusal_line), 1u);
  }
}

TEST_F(TaskCommandsTest, ANodeThatWasNotInitialisedHasNoClientAndSendsNothing) {
  BottomInteractCenter uninitialised;
  for (const auto& command : AllTaskCommands()) {
    SCOPED_TRACE(command.first_line);
    EXPECT_FALSE((uninitialised.*command.send)());
  }
  EXPECT_EQ(LogCapture::Count("ErrorCode: 100400005, task_center_srv_client_ == nullptr"),
            AllTaskCommands().size());
  EXPECT_TRUE(Requests().empty());
}

}  // namespace
}  // namespace bottom_interact_center::test
