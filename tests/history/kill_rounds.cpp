#include "tests/history/kill_rounds.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "tests/history/database_check.h"

extern char** environ;

namespace history_testing {
namespace {

using namespace std::chrono_literals;

// The longest a child may take to store the polls it is waited for.
constexpr auto kAckDeadline = 20s;
constexpr int kMostAcksWaited = 30;
constexpr int kLongestExtraMicros = 3000;

struct Child {
  pid_t pid = -1;
  int out = -1;  // the read end of its stdout
};

Child Spawn(const std::filesystem::path& file) {
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  const std::string program = QUELTA_RECORDER_CHILD;
  const std::string path = file.string();
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  if (spawned != 0) {
    ::close(pipeEnds[0]);
    return {};
  }
  return {pid, pipeEnds[0]};
}

// Reads acknowledgements until `wanted` have come, the child's stdout ends, or the deadline.
int ReadAcks(int fd, int wanted, std::chrono::steady_clock::time_point deadline) {
  int acks = 0;
  char buffer[256];
  while (acks < wanted) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd watch{fd, POLLIN, 0};
    if (::poll(&watch, 1, static_cast<int>(left.count())) <= 0) break;
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got <= 0) break;
    for (ssize_t i = 0; i < got; ++i) acks += buffer[i] == '\n';
  }
  return acks;
}

}  // namespace

void KillAtRandomPoints(const std::filesystem::path& file, int kills) {
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::uniform_int_distribution<int> acksBeforeKill(0, kMostAcksWaited);
  std::uniform_int_distribution<int> extraMicros(0, kLongestExtraMicros);
  std::int64_t held = 0;
  int lostUnderWay = 0;
  for (int round = 0; round < kills; ++round) {
    SCOPED_TRACE("kill " + std::to_string(round + 1));
    const Child child = Spawn(file);
    ASSERT_GT(child.pid, 0) << "could not start " << QUELTA_RECORDER_CHILD;
    const int wanted = acksBeforeKill(random);
    int acks = ReadAcks(child.out, wanted, std::chrono::steady_clock::now() + kAckDeadline);
    ASSERT_GE(acks, wanted) << "the recording process stored too few polls in time";
    // The kill point: a random moment after the last acknowledgement (this pause is the point
    // of the test, not a wait for anything).
    std::this_thread::sleep_for(std::chrono::microseconds(extraMicros(random)));
    ::kill(child.pid, SIGKILL);
    int status = 0;
    ::waitpid(child.pid, &status, 0);
    acks += ReadAcks(child.out, 1 << 30, std::chrono::steady_clock::now() + kAckDeadline);
    ::close(child.out);
    ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0))
        << "the recording process failed by itself";

    if (!std::filesystem::exists(file)) {
      ASSERT_EQ(acks, 0);
      continue;
    }
    ASSERT_EQ(IntegrityCheck(file), "ok");
    const std::int64_t now = PollsHeld(file);
    // Every acknowledged poll is there; at most one more (stored, then killed before it said so).
    ASSERT_GE(now, held + acks);
    ASSERT_LE(now, held + acks + 1);
    lostUnderWay += now == held + acks ? 0 : 1;
    held = now;
  }
  ::testing::Test::RecordProperty("polls_held", static_cast<int>(held));
  ::testing::Test::RecordProperty("stored_but_unacknowledged", lostUnderWay);
}

}  // namespace history_testing
