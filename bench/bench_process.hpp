// A program run by a benchmark: its output discarded, its CPU time and resident memory read from
// /proc, stopped with SIGTERM when the object goes.
#ifndef BOTTOM_INTERACT_BENCH__BENCH_PROCESS_HPP_
#define BOTTOM_INTERACT_BENCH__BENCH_PROCESS_HPP_

#include <sys/types.h>

#include <string>
#include <vector>

class BenchProcess {
public:
  explicit BenchProcess(const std::vector<std::string>& argv);
  ~BenchProcess();
  BenchProcess(const BenchProcess&) = delete;
  BenchProcess& operator=(const BenchProcess&) = delete;

  // User and system time so far, in seconds.
  double CpuSeconds() const;
  double ResidentMegabytes() const;

private:
  pid_t pid_;
};

#endif  // BOTTOM_INTERACT_BENCH__BENCH_PROCESS_HPP_
