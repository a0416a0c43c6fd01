// Compiled-in endpoints and names shared by the node's classes.
#ifndef BOTTOM_INTERACT_CENTER__CONSTANTS_HPP_
#define BOTTOM_INTERACT_CENTER__CONSTANTS_HPP_

// The addresses come from the build (CMake cache variables BOARD_ADDRESS and HOST_ADDRESS).
#if !defined(BOTTOM_INTERACT_BOARD_ADDRESS) || !defined(BOTTOM_INTERACT_HOST_ADDRESS)
#error "BOTTOM_INTERACT_BOARD_ADDRESS and BOTTOM_INTERACT_HOST_ADDRESS must be defined by the build"
#endif

#include <cstdint>

namespace bottom_interact_center {

// Each source file gets its own copy of these (internal linkage).
constexpr char kBoardProcterAddress[] = BOTTOM_INTERACT_BOARD_ADDRESS;
constexpr char kBoardLightAddress[] = BOTTOM_INTERACT_BOARD_ADDRESS;
constexpr char kHostAddress[] = BOTTOM_INTERACT_HOST_ADDRESS;
constexpr char kAnyAddress[] = "0.0.0.0";
constexpr char kTaskCenterService[] = "do_task";
constexpr char kMopPumpParam[] = "mop_pump";

constexpr int kProcterPort = 8080;
constexpr int kLightPort = 8081;
constexpr int kCmdReportPort = 10086;
constexpr int kRobotInfoPort = 10888;
constexpr int kMotorDataPort = 60087;

// Defined once for the whole program.
inline constexpr char kSelfCleanPumpParam[] = "self_clean_pump";
inline constexpr char kBatterySourcePathParam[] = "battery_source_path";
inline constexpr char kDefaultBatterySourcePath[] = "/dev/tty_bat";
inline constexpr char kRobotEventTopic[] = "robot_event";
inline constexpr char kTaskCenterDiagTopic[] = "/task_center_diag_topic";
inline constexpr char kBodyDriverDiagTopic[] = "/body_driver_diag_topic";
inline constexpr char kRobotInfoUpdateService[] = "robot_info_update";
inline constexpr char kBottomOperateService[] = "bottom_operate";

// The link diagnostic event on the task-center topic: a board TCP link lost (1) or restored (0).
constexpr int kLinkEventId = 5303;
constexpr int kLinkLost = 1;
constexpr int kLinkRestored = 0;

// A start-up parameter value the node cannot use (wrong type, or not a number).
constexpr int kParameterRejected = 100400035;
// The self-clean pump's duty: the declared default of "self_clean_pump".
constexpr int64_t kDefaultSelfCleanPumpDuty = 20;

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__CONSTANTS_HPP_
