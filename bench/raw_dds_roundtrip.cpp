// The yardstick under the ROS client layer: a "bottom_operate" request/reply round trip over
// plain Fast DDS writers and readers (same participant settings, topics and CDR payloads as
// rclcpp_lite, none of its endpoint code), and how long discovery takes when a second process
// starts. Prints one `name: value unit` line per figure.
//
// Usage: raw_dds_roundtrip [--samples N]          round trip against a child server process
//        raw_dds_roundtrip --discovery [--runs N] start N peer processes, time each until matched
// The domain is ROS_DOMAIN_ID, or one derived from the process id.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <fastdds/rtps/common/WriteParams.h>
#include <fastdds/dds/domain/DomainParticipant.hpp>
#include <fastdds/dds/domain/DomainParticipantFactory.hpp>
#include <fastdds/dds/publisher/DataWriter.hpp>
#include <fastdds/dds/publisher/Publisher.hpp>
#include <fastdds/dds/subscriber/DataReader.hpp>
#include <fastdds/dds/subscriber/DataReaderListener.hpp>
#include <fastdds/dds/subscriber/SampleInfo.hpp>
#include <fastdds/dds/subscriber/Subscriber.hpp>
#include <fastdds/dds/topic/TypeSupport.hpp>

#include "rclcpp_lite/message_topic_type.hpp"
#include "rclcpp_lite/participant_qos.hpp"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

namespace {

namespace fdds = eprosima::fastdds::dds;
using Clock = std::chrono::steady_clock;
using Request = velmoria_protocol::srv::BottomInteractSrv::Request;
using Response = velmoria_protocol::srv::BottomInteractSrv::Response;
using rosidl_typesupport_introspection_cpp::get_message_type_support_handle;

constexpr char kRequestTopic[] = "rq/raw_dds_benchRequest";
constexpr char kReplyTopic[] = "rr/raw_dds_benchReply";
// Discovery timing: the first process writes ping and reads pong, each peer the reverse.
constexpr char kPingTopic[] = "rt/raw_dds_bench_ping";
constexpr char kPongTopic[] = "rt/raw_dds_bench_pong";
constexpr int kWarmUp = 200;
constexpr auto kMatchTimeout = std::chrono::seconds(20);

/// One participant with a writer and a reader, both RELIABLE/VOLATILE/KEEP_LAST 10 as the ROS
/// service defaults map to. Counts the reader's data-available events so a thread can sleep
/// until the next sample.
class BenchEndpoints : public fdds::DataReaderListener {
public:
  BenchEndpoints(size_t domain, const std::string& write_topic,
                 const rosidl_message_type_support_t* write_type, const std::string& read_topic,
                 const rosidl_message_type_support_t* read_type) {
    participant_ = fdds::DomainParticipantFactory::get_instance()->create_participant(
        static_cast<fdds::DomainId_t>(domain),
        rclcpp_lite::middleware::make_participant_qos(
            rclcpp_lite::middleware::localhost_only_from_environment()));
    if (participant_ == nullptr) {
      throw std::runtime_error("cannot create participant");
    }
    writer_ = participant_->create_publisher(fdds::PUBLISHER_QOS_DEFAULT)
                  ->create_datawriter(topic(write_topic, write_type),
                                      endpoint_qos<fdds::DataWriterQos>());
    reader_ = participant_->create_subscriber(fdds::SUBSCRIBER_QOS_DEFAULT)
                  ->create_datareader(topic(read_topic, read_type),
                                      endpoint_qos<fdds::DataReaderQos>(), this);
    if (writer_ == nullptr || reader_ == nullptr) {
      throw std::runtime_error("cannot create writer and reader");
    }
  }

  ~BenchEndpoints() override {
    participant_->delete_contained_entities();
    fdds::DomainParticipantFactory::get_instance()->delete_participant(participant_);
  }

  fdds::DataWriter& writer() { return *writer_; }
  fdds::DataReader& reader() { return *reader_; }

  void on_data_available(fdds::DataReader*) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++arrivals_;
    arrived_.notify_all();
  }

  uint64_t arrivals() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return arrivals_;
  }

  /// True once more than `seen` samples have arrived, false at the timeout.
  bool wait_beyond(uint64_t seen, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return arrivals_ > seen; });
  }

  /// Polls until both endpoints have a peer; false after kMatchTimeout.
  bool wait_matched() {
    const auto deadline = Clock::now() + kMatchTimeout;
    while (!matched()) {
      if (Clock::now() > deadline) {
        return false;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
  }

private:
  bool matched() {
    fdds::PublicationMatchedStatus published;
    fdds::SubscriptionMatchedStatus subscribed;
    writer_->get_publication_matched_status(published);
    reader_->get_subscription_matched_status(subscribed);
    return published.current_count > 0 && subscribed.current_count > 0;
  }

  fdds::Topic* topic(const std::string& name, const rosidl_message_type_support_t* type_support) {
    fdds::TypeSupport type(new rclcpp_lite::middleware::MessageTopicType(type_support));
    type.register_type(participant_);
    return participant_->create_topic(name, type.get_type_name(), fdds::TOPIC_QOS_DEFAULT);
  }

  template <typename Qos>
  static Qos endpoint_qos() {
    Qos qos;
    qos.reliability().kind = fdds::RELIABLE_RELIABILITY_QOS;
    qos.durability().kind = fdds::VOLATILE_DURABILITY_QOS;
    qos.history().kind = fdds::KEEP_LAST_HISTORY_QOS;
    qos.history().depth = 10;
    qos.endpoint().history_memory_policy =
        eprosima::fastrtps::rtps::PREALLOCATED_WITH_REALLOC_MEMORY_MODE;
    qos.data_sharing().off();
    return qos;
  }

  fdds::DomainParticipant* participant_ = nullptr;
  fdds::DataWriter* writer_ = nullptr;
  fdds::DataReader* reader_ = nullptr;
  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  uint64_t arrivals_ = 0;
};

size_t domain_id() {
  const char* configured = std::getenv("ROS_DOMAIN_ID");
  return configured != nullptr && *configured != '\0' ? std::strtoul(configured, nullptr, 0)
                                                      : 100 + static_cast<size_t>(getpid()) % 120;
}

pid_t spawn_self(const char* mode) {
  const pid_t pid = fork();
  if (pid == 0) {
    close_range(3, ~0U, 0);  // Fast DDS sockets lack close-on-exec: keep them out of the child
    execl("/proc/self/exe", "raw_dds_roundtrip", mode, static_cast<char*>(nullptr));
    std::perror("raw_dds_roundtrip: exec");
    _exit(127);
  }
  return pid;
}

void stop(pid_t child) {
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
}

/// Blocks SIGTERM so a child can wait for it and then tear its participant down cleanly.
sigset_t block_termination() {
  sigset_t termination;
  sigemptyset(&termination);
  sigaddset(&termination, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &termination, nullptr);
  return termination;
}

double percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1))];
}

/// Child: answers every request on its reply writer, addressed as rmw_fastrtps does, until
/// SIGTERM.
int serve() {
  const sigset_t termination = block_termination();
  BenchEndpoints server(domain_id(), kReplyTopic, get_message_type_support_handle<Response>(),
                        kRequestTopic, get_message_type_support_handle<Request>());
  std::atomic<bool> stopping{false};
  std::thread responder([&server, &stopping] {
    Request request;
    Response response;
    response.message = "ok";
    fdds::SampleInfo info;
    for (uint64_t seen = 0; !stopping; seen = server.arrivals()) {
      while (server.reader().take_next_sample(&request, &info) == ReturnCode_t::RETCODE_OK) {
        eprosima::fastrtps::rtps::WriteParams params;
        params.related_sample_identity().writer_guid(info.related_sample_identity.writer_guid());
        params.related_sample_identity().sequence_number(info.sample_identity.sequence_number());
        response.status = request.cmd;
        server.writer().write(&response, params);
      }
      server.wait_beyond(seen, std::chrono::milliseconds(100));
    }
  });
  int signal_number = 0;
  sigwait(&termination, &signal_number);
  stopping = true;
  responder.join();
  return 0;
}

Request bench_request() {
  Request request;
  request.cmd = 12;
  request.component.main_swp.cmd = 1;
  request.component.main_swp.duty = 50;
  return request;
}

/// One request and its reply; returns the round trip in microseconds, negative on loss.
double round_trip(BenchEndpoints& client, Request& request) {
  Response response;
  fdds::SampleInfo info;
  const auto start = Clock::now();
  eprosima::fastrtps::rtps::WriteParams params;
  params.related_sample_identity().writer_guid(client.reader().guid());
  client.writer().write(&request, params);
  for (;;) {
    const uint64_t seen = client.arrivals();
    if (client.reader().take_next_sample(&response, &info) == ReturnCode_t::RETCODE_OK) {
      return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    }
    if (!client.wait_beyond(seen, std::chrono::seconds(2))) {
      return -1.0;
    }
  }
}

int measure_round_trip(int samples) {
  BenchEndpoints client(domain_id(), kRequestTopic, get_message_type_support_handle<Request>(),
                        kReplyTopic, get_message_type_support_handle<Response>());
  const pid_t server = spawn_self("--serve");
  if (!client.wait_matched()) {
    stop(server);
    std::fprintf(stderr, "raw_dds_roundtrip: server never matched\n");
    return 1;
  }
  Request request = bench_request();
  std::vector<double> rtts;
  for (int i = 0; i < kWarmUp + samples; ++i) {
    const double rtt = round_trip(client, request);
    if (rtt < 0) {
      stop(server);
      std::fprintf(stderr, "raw_dds_roundtrip: reply lost\n");
      return 1;
    }
    if (i >= kWarmUp) {
      rtts.push_back(rtt);
    }
  }
  stop(server);
  std::printf("raw_dds_rtt_p50: %.1f us\nraw_dds_rtt_p99: %.1f us\n", percentile(rtts, 0.5),
              percentile(rtts, 0.99));
  return 0;
}

double monotonic_ms() {
  return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

/// Child of the discovery timing: once its writer and reader have matched, sends one sample
/// carrying the steady-clock time its participant was up (the clock is shared across processes).
int discovery_peer() {
  const sigset_t termination = block_termination();
  BenchEndpoints peer(domain_id(), kPongTopic, get_message_type_support_handle<Response>(),
                      kPingTopic, get_message_type_support_handle<Response>());
  Response ready;
  ready.message = std::to_string(monotonic_ms());
  if (!peer.wait_matched()) {
    return 1;
  }
  peer.writer().write(&ready);
  int signal_number = 0;
  sigwait(&termination, &signal_number);
  return 0;
}

/// Takes the peer's ready sample; returns when its participant was up, NaN if there is none.
double take_ready(BenchEndpoints& first) {
  Response ready;
  fdds::SampleInfo info;
  double created = std::nan("");
  while (first.reader().take_next_sample(&ready, &info) == ReturnCode_t::RETCODE_OK) {
    created = std::atof(ready.message.c_str());
  }
  return created;
}

/// Starts `runs` peer processes one after the other. discovery_*: from starting the peer to
/// receiving the sample it sends once both of its endpoints have matched ours, so process start
/// and participant creation included; discovery_match_*: the same from the peer's participant
/// being up, i.e. discovery alone.
int measure_discovery(int runs) {
  BenchEndpoints first(domain_id(), kPingTopic, get_message_type_support_handle<Response>(),
                       kPongTopic, get_message_type_support_handle<Response>());
  std::vector<double> from_start;
  std::vector<double> from_creation;
  for (int run = 0; run < runs; ++run) {
    const uint64_t seen = first.arrivals();
    const double started = monotonic_ms();
    const pid_t peer = spawn_self("--discovery-peer");
    const bool ready = first.wait_beyond(seen, kMatchTimeout);
    const double received = monotonic_ms();
    stop(peer);
    const double created = take_ready(first);
    if (!ready || std::isnan(created)) {
      std::fprintf(stderr, "raw_dds_roundtrip: peer %d never matched\n", run);
      return 1;
    }
    from_start.push_back(received - started);
    from_creation.push_back(received - created);
  }
  std::printf(
      "discovery_median: %.1f ms\ndiscovery_worst: %.1f ms\n"
      "discovery_match_median: %.1f ms\ndiscovery_match_worst: %.1f ms\n",
      percentile(from_start, 0.5), percentile(from_start, 1.0), percentile(from_creation, 0.5),
      percentile(from_creation, 1.0));
  return 0;
}

int option_value(int argc, char** argv, const char* name, int fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) {
      return std::max(1, std::atoi(argv[i + 1]));
    }
  }
  return fallback;
}

bool has_flag(int argc, char** argv, const char* name) {
  return std::any_of(argv + 1, argv + argc,
                     [name](const char* arg) { return std::strcmp(arg, name) == 0; });
}

}  // namespace

int main(int argc, char** argv) {
  if (has_flag(argc, argv, "--serve")) {
    return serve();
  }
  if (has_flag(argc, argv, "--discovery-peer")) {
    return discovery_peer();
  }
  if (has_flag(argc, argv, "--discovery")) {
    return measure_discovery(option_value(argc, argv, "--runs", 20));
  }
  return measure_round_trip(option_value(argc, argv, "--samples", 2000));
}
