// A recording process for the tests that kill or race recorders: records polls into FILE, ten
// minutes of virtual time apart (so every poll also folds and prunes), after the newest poll
// already there, and writes one line to stdout after each poll it stored.
//   history_recorder_child FILE [COUNT]   (without COUNT: until killed)
#include <unistd.h>

#include <cstdio>
#include <string>

#include "history/history_recorder.h"
#include "history/virtual_history_clock.h"
#include "tests/history/database_check.h"
#include "tests/history/history_test_support.h"

int main(int argc, char** argv) {
  using namespace std::chrono_literals;
  if (argc < 2) {
    std::fprintf(stderr, "usage: history_recorder_child FILE [COUNT]\n");
    return 2;
  }
  const std::filesystem::path file = argv[1];
  const long long count = argc > 2 ? std::stoll(argv[2]) : -1;
  const std::int64_t newest =
      std::filesystem::exists(file)
          ? history_testing::QueryInteger(file, "SELECT max(time) FROM poll")
          : -1;
  history::VirtualHistoryClock clock(newest > 0
                                         ? history::HistoryTime(std::chrono::milliseconds(newest))
                                         : history_testing::kStart);
  history::HistoryRecorderOptions options;
  options.file = file;
  options.retentionDays = history::kMaxRetentionDays;
  history::HistoryRecorder recorder(options, clock);
  for (long long i = 0; count < 0 || i < count; ++i) {
    clock.Advance(10min);
    if (i % 7 == 3) recorder.RecordEvent(history::HistoryEventKind::AlarmStart, "12V2");
    if (!recorder.RecordPoll(history_testing::Readings(static_cast<float>(i % 1000)))) {
      std::fprintf(stderr, "%s\n", recorder.LastError().c_str());
      return 1;
    }
    if (::write(STDOUT_FILENO, "+\n", 2) != 2) return 1;
  }
  return 0;
}
