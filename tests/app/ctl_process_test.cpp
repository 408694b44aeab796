#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

namespace {

const std::filesystem::path kCtl = QUELTA_CTL_PATH;

// Starts `command` in a shell with the lock files in `lockDir`.
pid_t Start(const std::string& command, const std::filesystem::path& lockDir) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("QUELTA_LOCK_DIR", lockDir.c_str(), 1);
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

int Finish(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunCtl(const std::string& arguments, const std::filesystem::path& lockDir) {
  return Finish(Start(kCtl.string() + " " + arguments + " >/dev/null 2>&1", lockDir));
}

struct Interval {
  long long lock = 0, unlock = 0;
};

// The LOCK..UNLOCK intervals of a trace; fails the test when the trace is not well formed
// (unpaired events, or a report outside an interval).
std::vector<Interval> Intervals(const std::filesystem::path& trace) {
  std::ifstream file(trace);
  std::vector<Interval> intervals;
  bool held = false;
  for (std::string line; std::getline(file, line);) {
    std::istringstream words(line);
    long long usec = 0;
    std::string event;
    words >> usec >> event;
    if (event == "LOCK") {
      EXPECT_FALSE(held) << line;
      intervals.push_back({usec, 0});
      held = true;
    } else if (event == "UNLOCK") {
      EXPECT_TRUE(held) << line;
      intervals.back().unlock = usec;
      held = false;
    } else {
      EXPECT_TRUE(held) << "a report outside the lock: " << line;
    }
  }
  EXPECT_FALSE(held);
  return intervals;
}

TEST(QueltaCtlProcesses, TwoRunsAtOnceNeverOverlapTheirExchanges) {
  testing_support::TempFolder dir;
  const auto loop = [&](const char* trace) {
    return "for i in 1 2 3 4 5 6; do " + kCtl.string() + " --simulate --trace " +
           (dir.Path() / trace).string() + " status >/dev/null || exit 1; done";
  };
  const pid_t a = Start(loop("a.txt"), dir.Path());
  const pid_t b = Start(loop("b.txt"), dir.Path());
  ASSERT_EQ(Finish(a), 0);
  ASSERT_EQ(Finish(b), 0);

  const std::vector<Interval> first = Intervals(dir.Path() / "a.txt");
  const std::vector<Interval> second = Intervals(dir.Path() / "b.txt");
  ASSERT_EQ(first.size(), 6u);
  ASSERT_EQ(second.size(), 6u);
  std::vector<std::pair<Interval, char>> all;
  for (const Interval& i : first) all.push_back({i, 'a'});
  for (const Interval& i : second) all.push_back({i, 'b'});
  std::sort(all.begin(), all.end(),
            [](const auto& x, const auto& y) { return x.first.lock < y.first.lock; });
  for (std::size_t i = 0; i + 1 < all.size(); ++i)
    EXPECT_GE(all[i + 1].first.lock, all[i].first.unlock) << "intervals " << i << " and " << i + 1;
  // Each status holds the lock through its twenty real 2 ms pauses, so an overlap would show.
  for (const auto& [interval, who] : all) EXPECT_GE(interval.unlock - interval.lock, 38000) << who;
  // And the two runs did contend: their intervals alternate at least once.
  std::string order;
  for (const auto& entry : all) order += entry.second;
  EXPECT_TRUE(order.find("ab") != std::string::npos && order.find("ba") != std::string::npos)
      << order;
}

TEST(QueltaCtlProcesses, TheProgramEndsWithTheDocumentedExitCodes) {
  testing_support::TempFolder dir;
  EXPECT_EQ(RunCtl("--simulate status", dir.Path()), 0);
  EXPECT_EQ(RunCtl("--simulate=" + (dir.Path() / "missing.json").string() + " status", dir.Path()),
            1);
  std::ofstream(dir.Path() / "absent.json") << R"({"monitor": {"present": false}})";
  EXPECT_EQ(RunCtl("--simulate=" + (dir.Path() / "absent.json").string() + " probe", dir.Path()),
            2);
  std::ofstream(dir.Path() / "silent.json") << R"({"monitor": {"replies": {"00": "silent"}}})";
  EXPECT_EQ(RunCtl("--simulate=" + (dir.Path() / "silent.json").string() + " status", dir.Path()),
            3);
  // The real backend on this machine: listing never fails.
  EXPECT_EQ(RunCtl("list", dir.Path()), 0);
}

// The service in a process of its own ends cleanly on each of the signals it is stopped with,
// within the deadline of a systemd stop, saying which signal it was.
TEST(QueltaCtlProcesses, ServeStopsCleanlyOnSigtermAndSigint) {
  for (const int signal : {SIGTERM, SIGINT}) {
    testing_support::TempFolder dir;
    const auto out = dir.Path() / "out.txt";
    const auto err = dir.Path() / "err.txt";
    setenv("XDG_STATE_HOME", (dir.Path() / "state").c_str(), 1);
    const pid_t pid = Start("exec " + kCtl.string() + " --simulate serve --listen 127.0.0.1:0 >" +
                                out.string() + " 2>" + err.string(),
                            dir.Path());
    // Serving once its address is printed.
    const auto started = std::chrono::steady_clock::now();
    std::string said;
    while (said.find("serving http://127.0.0.1:") == std::string::npos &&
           std::chrono::steady_clock::now() - started < std::chrono::seconds(10)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      std::ifstream file(out);
      said.assign(std::istreambuf_iterator<char>(file), {});
    }
    ASSERT_NE(said.find("serving http://127.0.0.1:"), std::string::npos)
        << "the service did not say where it serves within 10 s";
    const auto signalled = std::chrono::steady_clock::now();
    kill(pid, signal);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() - signalled > std::chrono::seconds(10)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "the service did not end within 10 s of signal " << signal;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "signal " << signal;
    std::ifstream file(err);
    const std::string errors(std::istreambuf_iterator<char>(file), {});
    EXPECT_NE(errors.find(signal == SIGTERM ? "stopped on SIGTERM" : "stopped on SIGINT"),
              std::string::npos)
        << errors;
  }
}

}  // namespace
