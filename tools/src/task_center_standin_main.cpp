// Stands in for the robot's task center: serves "do_task", prints each request, answers a result.
#include <string>

#include <velmoria_protocol/srv/task_center_srv.hpp>

#include "ros_tools/service_standin.hpp"

namespace {

constexpr char kProgram[] = "task_center_standin";

constexpr char kUsage[] =
    "Usage: task_center_standin [--result N] [--delay SECONDS] [--silent] [--ros-args ...]\n"
    "Serves do_task (velmoria_protocol/srv/TaskCenterSrv) and prints one line per request:\n"
    "  do_task task_type=200 task_cmd=5 task_param=\"\"\n"
    "Options:\n"
    "  --result N        the answer's result (default 0: accepted)\n"
    "  --delay SECONDS   answer that much later\n"
    "  --silent          never answer (each request held until the stand-in stops)\n"
    "  -h, --help        this text\n";

}  // namespace

int main(int argc, char** argv) {
  ros_tools::StandInOptions options;
  if (const auto done = options.Parse(argc, argv, kProgram, kUsage, "--result", false)) {
    return *done;
  }
  using TaskCenter = velmoria_protocol::srv::TaskCenterSrv;
  return ros_tools::RunStandIn<TaskCenter>(
      argc, argv, kProgram, "do_task", options,
      [](const TaskCenter::Request& request) {
        return "do_task task_type=" + std::to_string(request.task_type) +
               " task_cmd=" + std::to_string(request.task_cmd) + " task_param=\"" +
               request.task_param + "\"";
      },
      [](TaskCenter::Response* response, int32_t result) { response->result = result; });
}
