// The test harness's child processes: they end with the test program, however it ends.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>

#include "child_process.hpp"
#include "test_support/poll_until.hpp"

namespace {

using namespace std::chrono_literals;

// Gone, or a zombie nobody reaps (a container's first process may not).
bool Ended(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pid_field;
  std::string command;
  char state = 0;
  return !(stat >> pid_field >> command >> state) || state == 'Z';
}

TEST(ChildProcess, EndsWithTheProgramThatStartedItEvenWithoutCleanUp) {
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  const pid_t program = fork();
  ASSERT_GE(program, 0);
  if (program == 0) {
    test_support::ChildProcess child({"/bin/sleep", "600"});
    const pid_t pid = child.pid();
    (void)!write(report[1], &pid, sizeof pid);
    _exit(0);  // as a program that dies does: no destructor asks the child to stop
  }
  close(report[1]);
  pid_t child = -1;
  const bool reported = read(report[0], &child, sizeof child) == sizeof child;
  close(report[0]);
  waitpid(program, nullptr, 0);
  ASSERT_TRUE(reported && child > 0);
  const bool ended = test_support::PollUntil(5s, [child] { return Ended(child); });
  EXPECT_TRUE(ended) << "child " << child << " outlived the program that started it";
  if (!ended) {
    kill(child, SIGKILL);
  }
}

}  // namespace
