// Round trip of a "bottom_operate"-shaped service call between two processes through the rclcpp
// API. The program starts its own server (itself with --serve) and prints one `name: value unit`
// line per figure.
//
// Usage: service_roundtrip [--samples N]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

namespace {

using BottomInteractSrv = velmoria_protocol::srv::BottomInteractSrv;
constexpr char kServiceName[] = "bench_bottom_operate";
constexpr int kWarmUp = 200;

int Serve(int argc, char** argv) {
  rclcpp::init(argc, argv);
  auto node = std::make_shared<rclcpp::Node>("service_roundtrip_server");
  auto service = node->create_service<BottomInteractSrv>(
      kServiceName, [](std::shared_ptr<BottomInteractSrv::Request> request,
                       std::shared_ptr<BottomInteractSrv::Response> response) {
        response->status = request->cmd == 12 ? 0 : 1;
        response->message = "ok";
      });
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  executor.spin();
  rclcpp::shutdown();
  return 0;
}

pid_t SpawnServer(const char* self) {
  pid_t pid = fork();
  if (pid == 0) {
    // Fast DDS opens its sockets without close-on-exec; the server must not inherit ours.
    close_range(3, ~0U, 0);
    execl(self, self, "--serve", static_cast<char*>(nullptr));
    std::perror("service_roundtrip: exec");
    _exit(127);
  }
  return pid;
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1));
  return values[index];
}

std::shared_ptr<BottomInteractSrv::Request> MakeRequest() {
  auto request = std::make_shared<BottomInteractSrv::Request>();
  request->cmd = 12;
  request->component.main_swp.cmd = 1;
  request->component.main_swp.duty = 50;
  request->component.side_swp.cmd = 1;
  request->component.side_swp.duty = 40;
  return request;
}

int Measure(int argc, char** argv, int samples) {
  rclcpp::init(argc, argv);
  auto node = std::make_shared<rclcpp::Node>("service_roundtrip_client");
  auto client = node->create_client<BottomInteractSrv>(kServiceName);
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  std::thread spinner([&executor] { executor.spin(); });

  const pid_t server = SpawnServer("/proc/self/exe");
  int status = 0;
  if (!client->wait_for_service(std::chrono::seconds(10))) {
    std::fprintf(stderr, "service_roundtrip: server did not come up\n");
    status = 1;
  } else {
    auto request = MakeRequest();
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(samples));
    for (int i = 0; i < kWarmUp + samples && status == 0; ++i) {
      const auto start = std::chrono::steady_clock::now();
      auto pending = client->async_send_request(request);
      if (pending.future.wait_for(std::chrono::seconds(5)) != std::future_status::ready ||
          pending.future.get()->status != 0) {
        std::fprintf(stderr, "service_roundtrip: request %d failed\n", i);
        status = 1;
        break;
      }
      const std::chrono::duration<double, std::micro> took =
          std::chrono::steady_clock::now() - start;
      if (i >= kWarmUp) micros.push_back(took.count());
    }
    if (status == 0) {
      std::printf("lite_service_rtt_p50: %.1f us\n", Percentile(micros, 0.50));
      std::printf("lite_service_rtt_p99: %.1f us\n", Percentile(micros, 0.99));
    }
  }
  kill(server, SIGTERM);
  waitpid(server, nullptr, 0);
  rclcpp::shutdown();
  spinner.join();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  int samples = 2000;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--serve") == 0) return Serve(argc, argv);
    if (std::strcmp(argv[i], "--samples") == 0 && i + 1 < argc) {
      samples = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: service_roundtrip [--samples N]\n");
      return 2;
    }
  }
  return Measure(argc, argv, samples);
}
