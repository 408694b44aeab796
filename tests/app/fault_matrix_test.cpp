// The fault matrix: every way the simulated PSU can misbehave, one row each, with what must
// hold. Every row: no crash, done within 1.5 s, never a step on a reading that failed or
// cannot be right, and the exit code and message the row names.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "app/ctl/run_ctl.h"
#include "device/device_identity.h"
#include "device/recording_sleeper.h"
#include "platform/lock/named_mutex.h"
#include "support/deadline.h"
#include "support/temp_folder.h"

namespace app::ctl {
namespace {

using namespace std::chrono_literals;

constexpr auto kLongestRow = 1500ms;
constexpr auto kDeadline = 60s;

struct Outcome {
  int code;
  std::string out, err;
  std::vector<std::string> trace;
  std::chrono::milliseconds took;
};

// quelta-ctl in this process on the simulator, with its own lock folder (or a shared one).
class Matrix {
 public:
  explicit Matrix(std::filesystem::path lockDir = {}) : lockDir_(std::move(lockDir)) {
    if (lockDir_.empty()) lockDir_ = dir_;
  }

  const std::filesystem::path& LockDir() const { return lockDir_; }
  std::filesystem::path Folder() const { return dir_; }

  Outcome Run(const std::string& scenario, std::vector<std::string> command) {
    const auto scenarioFile = dir_ / "scenario.json";
    std::ofstream(scenarioFile) << scenario;
    const auto traceFile = dir_ / "trace.txt";
    std::filesystem::remove(traceFile);
    std::vector<std::string> args{"--simulate=" + scenarioFile.string(),
                                  "--trace=" + traceFile.string()};
    args.insert(args.end(), command.begin(), command.end());
    std::ostringstream out, err;
    device::RecordingSleeper sleeper;
    // The simulated PSU's clock runs with the command's pauses (and its reads' waits).
    CtlHost host{lockDir_,
                 sleeper,
                 [&sleeper] { return std::chrono::duration<double>(sleeper.Total()).count(); },
                 {}};
    const auto start = std::chrono::steady_clock::now();
    int code = 0;
    {
      // A watch ends only on the worker's removal hand-over; a run that never ends fails here.
      const testing_support::Deadline deadline(kDeadline, "the end of quelta-ctl " + command[0]);
      code = RunCtl(args, out, err, host);
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::vector<std::string> trace;
    std::ifstream file(traceFile);
    for (std::string line; std::getline(file, line);)
      trace.push_back(line.substr(line.find(' ') + 1));
    return {code, out.str(), err.str(), std::move(trace), took};
  }

 private:
  testing_support::TempFolder scratch_;
  std::filesystem::path dir_ = scratch_.Path();
  std::filesystem::path lockDir_;
};

// True when no step command follows a step whose feedback read (the reply to `feedback`)
// was not a whole 9-byte report: the output is never stepped blind.
bool NeverStepsBlind(const std::vector<std::string>& trace, const std::string& step,
                     const std::string& feedback) {
  bool blind = false;
  bool awaitingFeedback = false;
  bool feedbackAsked = false;
  for (const std::string& line : trace) {
    if (line.rfind("M W 6 00 " + step + " ", 0) == 0) {
      if (blind) return false;
      awaitingFeedback = true;
      feedbackAsked = false;
    } else if (awaitingFeedback && line.rfind("M W 6 00 " + feedback + " ", 0) == 0) {
      feedbackAsked = true;
    } else if (awaitingFeedback && feedbackAsked && line.rfind("M R ", 0) == 0) {
      blind = line.rfind("M R 9 ", 0) != 0;
      awaitingFeedback = false;
    }
  }
  return true;
}

std::string Row(const std::string& what, const Outcome& o) {
  return what + " -> exit " + std::to_string(o.code) + " in " + std::to_string(o.took.count()) +
         " ms";
}

// Short, silent, garbage and all-zero replies for every query code: the group fails or
// decodes, the command ends, and only a failed reference read ends it with 3.
TEST(FaultMatrix, EveryBadReplyToEveryQuery) {
  struct Code {
    const char* code;
    const char* group;
  };
  const Code codes[] = {{"00", "Reference"},   {"11", "PowerRating"}, {"12", "Calibration"},
                        {"13", "Calibration"}, {"21", "Voltages"},    {"22", "Voltages"},
                        {"02", "Currents"},    {"03", "Fans"},        {"04", "SensorTemps"},
                        {"05", "PsuTemp"}};
  const std::pair<const char*, const char*> kinds[] = {{"short", "null"},
                                                       {"silent", "\"silent\""},
                                                       {"garbage", "\"FF FF FF FF FF FF FF FF\""},
                                                       {"zeros", "\"00 00 00 00 00 00 00 00\""}};
  Matrix matrix;
  for (const Code& c : codes) {
    for (const auto& [kind, reply] : kinds) {
      const std::string scenario =
          std::string(R"({"monitor": {"replies": {")") + c.code + "\": " + reply + "}}}";
      const Outcome o = matrix.Run(scenario, {"status", "--json"});
      const std::string row = Row(std::string("reply ") + c.code + " " + kind + ", status", o);
      std::cout << "  " << row << "\n";
      EXPECT_LT(o.took, kLongestRow) << row;
      const bool failed = std::string(kind) == "short" || std::string(kind) == "silent";
      // A reference of 0 scales nothing: it is a failed read too.
      if (std::string(c.code) == "00" && (failed || std::string(kind) == "zeros")) {
        EXPECT_EQ(o.code, 3) << row;
        continue;
      }
      ASSERT_EQ(o.code, 0) << row << "\n" << o.err;
      const auto json = nlohmann::json::parse(o.out);
      if (failed) {
        EXPECT_FALSE(json["groups"][c.group].get<bool>()) << row;
      }
    }
  }
}

// A reply that comes late for every query code: in time, just after the read's time-out (it
// is then waiting when the next request goes out) and long after. In time it is the answer;
// late, the group fails as if the device were silent, and the reply is never taken for the
// answer to a later request (its bytes, 5A throughout, are nothing the model sends).
TEST(FaultMatrix, LateRepliesToEveryQuery) {
  const char* codes[] = {"00", "11", "12", "13", "21", "22", "02", "03", "04", "05"};
  const auto group = [](const std::string& code) -> std::string {
    if (code == "00") return "Reference";
    if (code == "11") return "PowerRating";
    if (code == "12" || code == "13") return "Calibration";
    if (code == "21" || code == "22") return "Voltages";
    if (code == "02") return "Currents";
    if (code == "03") return "Fans";
    if (code == "04") return "SensorTemps";
    return "PsuTemp";
  };
  const std::string stale = "M R 9 00 5A 5A 5A 5A 5A 5A 5A 5A";
  Matrix matrix;
  for (const std::string code : codes) {
    // The read starts 2 ms after its request (the pause after a write) and waits 1 s: 1003 ms
    // comes 1 ms after it gave up and 1 ms before the next request's 2 ms pause has passed.
    for (const int lateMs : {400, 1003, 1500}) {
      const std::string scenario = R"({"monitor": {"noise": false, "replies": {")" + code +
                                   R"(": "5A 5A 5A 5A 5A 5A 5A 5A"}, "late": {")" + code +
                                   "\": " + std::to_string(lateMs) + "}}}";
      const Outcome o = matrix.Run(scenario, {"status", "--json"});
      const std::string row =
          Row("reply " + code + " late " + std::to_string(lateMs) + " ms, status", o);
      std::cout << "  " << row << "\n";
      EXPECT_LT(o.took, kLongestRow) << row;
      // The 5A bytes come back exactly once when in time (as the answer to their request),
      // never when late: a read that gave up leaves them to be thrown away before the next.
      const auto staleReads = std::count(o.trace.begin(), o.trace.end(), stale);
      EXPECT_EQ(staleReads, lateMs < 1000 ? 1 : 0) << row;
      if (code == "00" && lateMs > 1000) {
        EXPECT_EQ(o.code, 3) << row;
        continue;
      }
      // 5A 5A as a reference is about 1.16 V: plausible for no rail, but status only reports.
      ASSERT_EQ(o.code, 0) << row << "\n" << o.err;
      const auto json = nlohmann::json::parse(o.out);
      for (const auto& [name, good] : json["groups"].items()) {
        EXPECT_EQ(good.get<bool>(), lateMs < 1000 || name != group(code)) << row << " " << name;
      }
    }
  }
}

// Reference replies of 0 and FF, and voltage replies that read far off nominal: no trim step.
TEST(FaultMatrix, ImpossibleReadingsNeverStepTheOutput) {
  Matrix matrix;
  const std::pair<const char*, const char*> rows[] = {
      {R"({"monitor": {"replies": {"00": "00 00 00 00 00 00 00 00"}}})", "reference 0"},
      {R"({"monitor": {"replies": {"00": "FF FF 00 00 00 00 00 00"}}})", "reference FF"},
      {R"({"monitor": {"replies": {"22": "00 00 00 00 00 00 00 00"}}})", "voltages 0"},
      {R"({"monitor": {"replies": {"22": "FF FF FF FF FF FF FF FF"}}})", "voltages FF"},
  };
  for (const auto& [scenario, what] : rows) {
    const Outcome o = matrix.Run(scenario, {"trim", "12v", "12.1"});
    const std::string row = Row(std::string(what) + ", trim 12v", o);
    std::cout << "  " << row << ": " << o.err;
    EXPECT_EQ(o.code, 3) << row;
    EXPECT_LT(o.took, kLongestRow) << row;
    EXPECT_EQ(std::count_if(o.trace.begin(), o.trace.end(),
                            [](const std::string& l) { return l.rfind("M W 6 00 07 ", 0) == 0; }),
              0)
        << row;
    EXPECT_FALSE(o.err.empty()) << row;
  }
}

// The cable pulled after every possible report: during the start-up probe, before, during
// and after each group of the watch's polls, and at every point of a trim.
TEST(FaultMatrix, UnpluggedAtEveryReport) {
  Matrix matrix;
  const auto unplugAfter = [](int reports) {
    return R"({"monitor": {"noise": false, "unplug_after": )" + std::to_string(reports) + "}}";
  };
  for (int n = 0; n <= 10; ++n) {
    const Outcome o = matrix.Run(unplugAfter(n), {"probe"});
    const std::string row = Row("unplug after " + std::to_string(n) + ", probe", o);
    EXPECT_LT(o.took, kLongestRow) << row;
    // Reference, calibration twice and rating: 8 reports make a whole probe.
    EXPECT_EQ(o.code, n >= 8 ? 0 : (n == 0 ? 2 : 3)) << row << "\n" << o.err;
  }
  for (int n = 0; n <= 34; ++n) {
    const Outcome o = matrix.Run(unplugAfter(n), {"watch", "--cycles", "2", "--interval", "0"});
    const std::string row = Row("unplug after " + std::to_string(n) + ", watch 2 cycles", o);
    EXPECT_LT(o.took, kLongestRow) << row;
    // Start-up takes 8 reports, each poll 12, of which the voltages take the first 4: the
    // second poll counts once its voltages are read (24 reports), as they are fresh.
    const int expected = n == 0 ? 2 : (n >= 24 ? 0 : 3);
    EXPECT_EQ(o.code, expected) << row << "\n" << o.err;
    if (n >= 8 && n < 24) {
      EXPECT_NE(o.err.find("removed"), std::string::npos) << row << "\n" << o.err;
    }
  }
  for (int n = 0; n <= 40; ++n) {
    const Outcome o = matrix.Run(unplugAfter(n), {"trim", "12v", "12.2"});
    const std::string row = Row("unplug after " + std::to_string(n) + ", trim 12v", o);
    EXPECT_LT(o.took, kLongestRow) << row;
    EXPECT_TRUE(NeverStepsBlind(o.trace, "07", "22")) << row;
    EXPECT_TRUE(o.code == 0 || o.code == 2 || o.code == 3) << row;
  }
}

// The cable pulled after every report of the output commands: a command whose write did not
// reach the PSU ("M W 0") never says it was done; it exits 3 with the reason and prints
// nothing. One that said so had every report written whole.
TEST(FaultMatrix, UnpluggedAtEveryReportOfAnOutputCommand) {
  Matrix matrix;
  const std::vector<std::vector<std::string>> commands{
      {"led", "on"}, {"led", "off"}, {"fan", "psu", "6", "40"}, {"fan", "system", "6", "40", "1"}};
  for (const auto& command : commands) {
    const bool fan = command[0] == "fan";
    for (int n = 0; n <= 6; ++n) {
      const Outcome o = matrix.Run(
          R"({"monitor": {"noise": false, "unplug_after": )" + std::to_string(n) + "}}", command);
      const std::string row =
          Row("unplug after " + std::to_string(n) + ", " + command[0] + " " + command[1], o);
      EXPECT_LT(o.took, kLongestRow) << row;
      const bool lostWrite = std::any_of(o.trace.begin(), o.trace.end(), [](const std::string& l) {
        return l.rfind("M W ", 0) == 0 && l.rfind("M W 6 ", 0) != 0;
      });
      // A fan curve reads the reference first (a write and a read); the command's own write is
      // the report after those. The LED's write is the first report.
      const int expected = n == 0 ? 2 : (fan && n < 3 ? 3 : 0);
      EXPECT_EQ(o.code, expected) << row << "\n" << o.err;
      if (lostWrite) {
        EXPECT_EQ(o.code, 3) << row;
        EXPECT_EQ(o.out, "") << row;
        EXPECT_NE(o.err.find("was not delivered"), std::string::npos) << row << "\n" << o.err;
      }
      if (o.code == 0) {
        EXPECT_FALSE(lostWrite) << row;
      }
      if (fan && n == 2) {
        EXPECT_TRUE(lostWrite) << row;
      }
    }
  }
}

// Another holder (another user's program, here another opener in this process) keeps the
// access mutex: every command that needs it waits --lock-wait and not longer, exits 3 naming
// the holder, prints nothing and sends no report; once it is free they run.
TEST(FaultMatrix, ALockHeldByAnotherHolderBeyondTheWait) {
  Matrix matrix;
  const auto holder = platform::NamedMutex::Open(device::kAccessMutexName, matrix.LockDir()).mutex;
  ASSERT_NE(holder, nullptr);
  ASSERT_TRUE(holder->Lock());
  const std::string named = "the PSU lock is held by " +
                            platform::HolderText(platform::LockHolder{::getpid(), ::getuid()});
  const char* bin = std::getenv("QUELTA_BIN_DIR");
  ASSERT_NE(bin, nullptr) << "QUELTA_BIN_DIR names the folder of the factory settings";
  const auto settings = matrix.Folder() / "settings.reg";
  std::filesystem::copy_file(std::filesystem::path(bin) / "quelta-factory.reg", settings);
  const std::vector<std::vector<std::string>> commands{
      {"probe"},
      {"status", "--json"},
      {"led", "on"},
      {"fan", "psu", "6", "40"},
      {"fan", "system", "6", "40", "1"},
      {"trim", "12v", "12.1"},
      {"alarms", "check"},
      {"gauge"},
      {"watch", "--cycles", "1", "--interval", "0"}};
  for (const auto& [wait, waited] : {std::pair{"0", 0ms}, std::pair{"0.2", 200ms}}) {
    for (auto command : commands) {
      command.insert(command.end(), {"--registry", settings.string(), "--lock-wait", wait});
      const Outcome o = matrix.Run("{}", command);
      const std::string row = Row(command[0] + " " + command[1] + " --lock-wait " + wait, o);
      EXPECT_EQ(o.code, 3) << row << "\n" << o.err;
      EXPECT_EQ(o.out, "") << row;
      EXPECT_NE(o.err.find(named), std::string::npos) << row << "\n" << o.err;
      EXPECT_NE(o.err.find(std::string("gave up after ") + wait + " s"), std::string::npos)
          << row << "\n"
          << o.err;
      // Never sooner than the wait; that it ends at all is the deadline's to say (reading the
      // settings file first takes its own time on a busy machine).
      EXPECT_GE(o.took, waited) << row;
      for (const std::string& line : o.trace) EXPECT_NE(line.rfind("M ", 0), 0u) << row << line;
    }
  }
  holder->Unlock();
  for (auto command : commands) {
    command.insert(command.end(), {"--registry", settings.string(), "--lock-wait", "0"});
    const Outcome o = matrix.Run("{}", command);
    EXPECT_TRUE(o.code == 0 || o.code == 6) << Row(command[0], o) << "\n" << o.err;
  }
}

// Two quelta-ctl and the worker of a third, at once on one access mutex: every one finishes
// with every exchange inside its lock.
TEST(FaultMatrix, TwoCommandsBesideARunningWorker) {
  const std::filesystem::path lockDir =
      std::filesystem::temp_directory_path() / ("quelta-matrix-lock-" + std::to_string(::getpid()));
  std::filesystem::create_directories(lockDir);
  Matrix watcher(lockDir), first(lockDir), second(lockDir);
  auto watch = std::async(std::launch::async, [&] {
    return watcher.Run("{}", {"watch", "--cycles", "20", "--interval", "1"});
  });
  auto status = std::async(std::launch::async, [&] {
    std::vector<Outcome> runs;
    for (int i = 0; i < 10; ++i) runs.push_back(first.Run("{}", {"status"}));
    return runs;
  });
  auto led = std::async(std::launch::async, [&] {
    std::vector<Outcome> runs;
    for (int i = 0; i < 10; ++i) runs.push_back(second.Run("{}", {"led", i % 2 ? "on" : "off"}));
    return runs;
  });
  const auto locked = [](const std::vector<std::string>& trace) {
    bool held = false;
    for (const std::string& line : trace) {
      if (line == "LOCK") held = true;
      if (line == "UNLOCK") held = false;
      if (line.rfind("M ", 0) == 0 && !held) return false;
    }
    return true;
  };
  for (const Outcome& o : status.get()) {
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_TRUE(locked(o.trace));
  }
  for (const Outcome& o : led.get()) {
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_TRUE(locked(o.trace));
  }
  const Outcome w = watch.get();
  EXPECT_EQ(w.code, 0) << w.err;
  EXPECT_TRUE(locked(w.trace));
  std::filesystem::remove_all(lockDir);
}

}  // namespace
}  // namespace app::ctl
