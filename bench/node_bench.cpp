// The node's command round trip and idle cost. Starts the board simulator program and the node
// executable, calls "bottom_operate" through the rclcpp API, and prints one `name: value unit`
// line per figure:
//   command round trip p50/p99 for commands 0 and 10 (the board answers at once),
//   loopback TCP round trip p50 of a frame of the same size,
//   resident memory and CPU of the idle node over 10 s,
//   then, the board stopped, one command with its 10 s time-out: the connection attempts it
//   made (one link-lost event each) and the node's CPU meanwhile.
// --node-ros-args passes ROS arguments to the node ("--disable-rosout-logs", space-separated);
// --round-trips-only stops after the round trips.
//
// Usage: node_bench --node PATH --board-sim PATH [--samples N] [--idle-seconds S]
//                   [--node-ros-args "ARGS"] [--round-trips-only]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_process.hpp"
#include "bottom_interact_center/constants.hpp"
#include "rclcpp/rclcpp.hpp"
#include "velmoria_protocol/msg/diagnostic_event.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

namespace {

using BottomInteractSrv = velmoria_protocol::srv::BottomInteractSrv;
using Clock = std::chrono::steady_clock;
constexpr int kWarmUp = 50;
// A framed request of command 0 is about this size on the wire.
constexpr size_t kFrameBytes = 40;

struct Options {
  std::string node;
  std::string board_sim;
  int samples = 500;
  int idle_seconds = 10;
  std::vector<std::string> node_ros_args;
  bool round_trips_only = false;
};

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1))];
}

// Round trips of one command; empty when a call fails.
std::vector<double> TimeCommand(const rclcpp::Client<BottomInteractSrv>::SharedPtr& client, int cmd,
                                int samples) {
  auto request = std::make_shared<BottomInteractSrv::Request>();
  request->cmd = cmd;
  request->component.motor_ctrl.tools_clean.motor.cmd = 1;
  request->component.motor_ctrl.tools_clean.motor.duty = 30;
  std::vector<double> micros;
  for (int i = 0; i < kWarmUp + samples; ++i) {
    const auto start = Clock::now();
    auto pending = client->async_send_request(request);
    if (pending.future.wait_for(std::chrono::seconds(5)) != std::future_status::ready ||
        pending.future.get()->status != 0) {
      std::fprintf(stderr, "node_bench: command %d failed at call %d\n", cmd, i);
      return {};
    }
    const std::chrono::duration<double, std::micro> took = Clock::now() - start;
    if (i >= kWarmUp) micros.push_back(took.count());
  }
  return micros;
}

int ConnectedPair(int* server_side) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  listen(listener, 1);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  const int client = socket(AF_INET, SOCK_STREAM, 0);
  connect(client, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  *server_side = accept(listener, nullptr, nullptr);
  close(listener);
  return client;
}

bool ReadFully(int fd, char* data, size_t length) {
  size_t done = 0;
  while (done < length) {
    const ssize_t got = read(fd, data + done, length - done);
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

// Loopback TCP ping-pong of one frame each way, as a board command exchange does it.
double TcpRoundTripP50(int samples) {
  int server = -1;
  const int client = ConnectedPair(&server);
  std::thread echo([server] {
    char frame[kFrameBytes];
    while (ReadFully(server, frame, sizeof(frame))) {
      if (write(server, frame, sizeof(frame)) != static_cast<ssize_t>(sizeof(frame))) break;
    }
  });
  char frame[kFrameBytes] = {};
  std::vector<double> micros;
  for (int i = 0; i < kWarmUp + samples; ++i) {
    const auto start = Clock::now();
    if (write(client, frame, sizeof(frame)) != static_cast<ssize_t>(sizeof(frame)) ||
        !ReadFully(client, frame, sizeof(frame))) {
      break;
    }
    const std::chrono::duration<double, std::micro> took = Clock::now() - start;
    if (i >= kWarmUp) micros.push_back(took.count());
  }
  shutdown(client, SHUT_RDWR);
  close(client);
  echo.join();
  close(server);
  return micros.empty() ? 0.0 : Percentile(micros, 0.50);
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream stream(text);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) {
    words.push_back(word);
  }
  return words;
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--round-trips-only") {
      options->round_trips_only = true;
      --i;  // a flag without a value
    } else if (i + 1 >= argc) {
      return false;
    } else if (flag == "--node-ros-args") {
      options->node_ros_args = Words(argv[i + 1]);
    } else if (flag == "--node") {
      options->node = argv[i + 1];
    } else if (flag == "--board-sim") {
      options->board_sim = argv[i + 1];
    } else if (flag == "--samples") {
      options->samples = std::max(1, std::atoi(argv[i + 1]));
    } else if (flag == "--idle-seconds") {
      options->idle_seconds = std::max(1, std::atoi(argv[i + 1]));
    } else {
      return false;
    }
  }
  return !options->node.empty() && !options->board_sim.empty();
}

// The figures against a running node; 0 when every one was measured.
int Measure(const Options& options, const rclcpp::Client<BottomInteractSrv>::SharedPtr& client,
            const BenchProcess& bridge) {
  if (!client->wait_for_service(std::chrono::seconds(15))) {
    std::fprintf(stderr, "node_bench: bottom_operate did not come up\n");
    return 1;
  }
  const auto procter = TimeCommand(client, 0, options.samples);
  const auto version = TimeCommand(client, 10, options.samples);
  if (procter.empty() || version.empty()) return 1;
  std::printf("command0_rtt_p50: %.1f us\n", Percentile(procter, 0.50));
  std::printf("command0_rtt_p99: %.1f us\n", Percentile(procter, 0.99));
  std::printf("command10_rtt_p50: %.1f us\n", Percentile(version, 0.50));
  std::printf("command10_rtt_p99: %.1f us\n", Percentile(version, 0.99));
  std::fflush(stdout);
  if (options.round_trips_only) return 0;
  std::printf("tcp_rtt_p50: %.1f us\n", TcpRoundTripP50(options.samples * 4));
  std::fflush(stdout);

  // The board listeners run all the while, waiting for the board.
  const double cpu_before = bridge.CpuSeconds();
  std::this_thread::sleep_for(std::chrono::seconds(options.idle_seconds));
  const double cpu_percent = 100.0 * (bridge.CpuSeconds() - cpu_before) / options.idle_seconds;
  std::printf("idle_node_cpu: %.2f %%\n", cpu_percent);
  std::printf("idle_node_rss: %.1f MB\n", bridge.ResidentMegabytes());
  return 0;
}

// Link-lost events on the task-center diagnostic topic.
class LinkLostCount {
public:
  explicit LinkLostCount(rclcpp::Node& node)
      : subscription_(node.create_subscription<velmoria_protocol::msg::DiagnosticEvent>(
            bottom_interact_center::kTaskCenterDiagTopic, 100,
            [this](const velmoria_protocol::msg::DiagnosticEvent& event) {
              if (event.event_id != bottom_interact_center::kLinkEventId ||
                  event.event_status != bottom_interact_center::kLinkLost) {
                return;
              }
              std::lock_guard<std::mutex> lock(mutex_);
              ++count_;
            })) {}

  long Now() {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
  }

private:
  std::mutex mutex_;
  long count_ = 0;
  rclcpp::Subscription<velmoria_protocol::msg::DiagnosticEvent>::SharedPtr subscription_;
};

// One command with a 10 s time-out while no board listens: every pass of the exchange fails to
// connect at once.
int MeasureBoardDown(const rclcpp::Client<BottomInteractSrv>::SharedPtr& client,
                     LinkLostCount& link_lost, const BenchProcess& bridge) {
  auto request = std::make_shared<BottomInteractSrv::Request>();
  request->cmd = 3;
  const long lost_before = link_lost.Now();
  const double cpu_before = bridge.CpuSeconds();
  const auto start = Clock::now();
  auto pending = client->async_send_request(request);
  if (pending.future.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    std::fprintf(stderr, "node_bench: no answer with the board down\n");
    return 1;
  }
  const std::chrono::duration<double> took = Clock::now() - start;
  const double cpu_percent = 100.0 * (bridge.CpuSeconds() - cpu_before) / took.count();
  // The last events may still be on their way.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  std::printf("board_down_attempts_10s: %ld\n", link_lost.Now() - lost_before);
  std::printf("board_down_cpu: %.2f %%\n", cpu_percent);
  return 0;
}

int Run(const Options& options) {
  auto node = std::make_shared<rclcpp::Node>("node_bench");
  auto client = node->create_client<BottomInteractSrv>("bottom_operate");
  LinkLostCount link_lost(*node);
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  std::thread spinner([&executor] { executor.spin(); });
  int status = 1;
  {
    std::optional<BenchProcess> board;
    board.emplace(
        std::vector<std::string>{options.board_sim, "--scenario", "version=version:V1.0.0"});
    std::vector<std::string> node_argv{options.node};
    if (!options.node_ros_args.empty()) {
      node_argv.push_back("--ros-args");
      node_argv.insert(node_argv.end(), options.node_ros_args.begin(), options.node_ros_args.end());
    }
    BenchProcess bridge(node_argv);
    status = Measure(options, client, bridge);
    board.reset();
    if (status == 0 && !options.round_trips_only) {
      status = MeasureBoardDown(client, link_lost, bridge);
    }
  }
  // Ends the spin whether or not it has begun.
  rclcpp::shutdown();
  spinner.join();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: node_bench --node PATH --board-sim PATH [--samples N] "
                 "[--idle-seconds S] [--node-ros-args \"ARGS\"] [--round-trips-only]\n");
    return 2;
  }
  rclcpp::init(1, argv);
  return Run(options);
}
