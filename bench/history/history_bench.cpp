// The record's figures: one poll's CPU and writes, what the UI thread pays to hand a poll
// over, a month at one poll every 3 s folded as the recorder folds it (its size), and the CSV
// of that month as `quelta-ctl history --csv` makes it (the query and the writing).
// QUELTA_HISTORY_BENCH_HOURS makes the month shorter (the suite's run of every benchmark uses 2).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <streambuf>

#include "app/ctl/history_export.h"
#include "history/history_query.h"
#include "history/history_recorder.h"
#include "history/history_writer.h"
#include "history/virtual_history_clock.h"

namespace {

using namespace std::chrono_literals;

// 2026-12-01T00:00:00Z.
const history::HistoryTime kStart = history::HistoryTime(std::chrono::milliseconds(1796083200000));

// A fresh folder for one benchmark's record, emptied first.
std::filesystem::path Folder(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("quelta-history-bench-" + std::to_string(::getpid())) /
                                       name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

// A poll whose readings move a little from one to the next, as a PSU's do.
device::ReadingSet Poll(int n) {
  device::ReadingSet r;
  const float wobble = static_cast<float>(n % 17) * 0.01f;
  r.ReferenceVoltage = 3.3f;
  r.Vol5V = 5.01f + wobble;
  r.Vol33V = 3.31f + wobble;
  r.Vol5Vsb = 5.02f;
  r.Vol12V1 = 12.05f + wobble;
  r.Vol12V2 = 12.04f + wobble;
  r.Vol12V3 = 12.03f;
  r.Vol12V4 = 12.02f;
  r.VolNeg12V = -11.9f;
  r.Cur5V = 3.2f + wobble;
  r.Cur33V = 2.1f;
  r.Cur12V1 = 10.5f + wobble;
  r.Cur12V2 = 8.25f;
  r.Cur12V3 = 4.75f;
  r.Cur12V4 = 1.5f;
  r.TempT1 = 31.0f;
  r.TempT2 = 33.0f + wobble;
  r.TempT3 = 28.0f;
  r.TempT4 = 27.0f;
  r.TempPSU = 41.0f + wobble;
  r.FanPSU = 1210.0f + static_cast<float>(n % 5);
  r.FanSystem = 980.0f;
  r.WattTotal = 352.7f + wobble * 100.0f;
  r.PowerRating = 680;
  return r;
}

// write() calls and bytes of this process so far (/proc/self/io).
struct WriteCount {
  long long calls = 0;
  long long bytes = 0;
};
WriteCount Writes() {
  std::ifstream io("/proc/self/io");
  WriteCount count;
  std::string key;
  long long value = 0;
  while (io >> key >> value) {
    if (key == "syscw:") count.calls = value;
    if (key == "wchar:") count.bytes = value;
  }
  return count;
}

int BenchHours() {
  const char* hours = std::getenv("QUELTA_HISTORY_BENCH_HOURS");
  return hours ? std::max(1, std::atoi(hours)) : 30 * 24;
}

// One poll appended, as the writer thread does it: the row's transaction, and once a minute of
// polls the fold. Counters: write() calls and bytes per poll.
void BM_RecordOnePoll(benchmark::State& state) {
  history::VirtualHistoryClock clock(kStart);
  history::HistoryRecorderOptions options;
  options.file = Folder("one-poll") / "history.sqlite";
  history::HistoryRecorder recorder(options, clock);
  recorder.RecordPoll(Poll(0));  // opens and makes the file outside the measure
  int n = 1;
  const WriteCount before = Writes();
  for (auto _ : state) {
    clock.Advance(3s);
    if (!recorder.RecordPoll(Poll(n++))) state.SkipWithError(recorder.LastError().c_str());
  }
  const WriteCount after = Writes();
  const double polls = static_cast<double>(state.iterations());
  state.counters["writes_per_poll"] = static_cast<double>(after.calls - before.calls) / polls;
  state.counters["bytes_per_poll"] = static_cast<double>(after.bytes - before.bytes) / polls;
}
BENCHMARK(BM_RecordOnePoll)->Repetitions(5)->ReportAggregatesOnly(true);

// What the UI thread pays for one completed poll: a copy into the writer's queue.
void BM_HandOverToWriter(benchmark::State& state) {
  history::VirtualHistoryClock clock(kStart);
  history::HistoryRecorderOptions options;
  options.file = Folder("hand-over") / "history.sqlite";
  history::HistoryWriter writer(options, clock, {});
  const device::ReadingSet poll = Poll(1);
  // The writer stores each poll while the next are handed over, as in the window (where they
  // come 3 s apart); the queue stays far below its limit.
  for (auto _ : state) writer.Poll(poll);
  writer.Flush(60s);
}
BENCHMARK(BM_HandOverToWriter)->Iterations(2000)->Repetitions(5)->ReportAggregatesOnly(true);

// The month's record, made once and shared by the two below. With QUELTA_HISTORY_BENCH_REUSE
// set, a month an earlier run made completely is taken as it is.
const std::filesystem::path& MonthFolder() {
  static const std::filesystem::path folder = [] {
    const std::filesystem::path kept =
        std::filesystem::temp_directory_path() /
        ("quelta-history-bench-month-" + std::to_string(BenchHours()) + "h");
    if (std::getenv("QUELTA_HISTORY_BENCH_REUSE") && std::filesystem::exists(kept / "complete"))
      return kept;
    std::filesystem::remove_all(kept);
    const std::filesystem::path made = kept;
    std::filesystem::create_directories(made);
    history::VirtualHistoryClock clock(kStart);
    history::HistoryRecorderOptions options;
    options.file = made / "quelta" / "history.sqlite";
    history::HistoryRecorder recorder(options, clock);
    const int polls = BenchHours() * 60 * 20;
    for (int n = 0; n < polls; ++n) {
      clock.Advance(3s);
      recorder.RecordPoll(Poll(n));
    }
    recorder.Maintain();
    std::ofstream(made / "complete") << polls << " polls\n";
    return made;
  }();
  return folder;
}

std::uintmax_t FileBytes(const std::filesystem::path& file) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  return error ? 0 : size;
}

// The month recorded poll by poll on the virtual clock, folding as it goes; the figure is the
// file's size (with its WAL) at the end.
void BM_MonthRecorded(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(MonthFolder());
  const std::filesystem::path file = MonthFolder() / "quelta" / "history.sqlite";
  state.counters["days"] = BenchHours() / 24.0;
  state.counters["MB"] =
      static_cast<double>(FileBytes(file) + FileBytes(file.string() + "-wal")) / 1e6;
}
BENCHMARK(BM_MonthRecorded)->Iterations(1)->Unit(benchmark::kSecond);

// Counts what is written and keeps none of it.
class CountingBuffer : public std::streambuf {
 public:
  std::size_t count = 0;

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    count += static_cast<std::size_t>(n);
    return n;
  }
  int_type overflow(int_type c) override {
    ++count;
    return c;
  }
};

// `quelta-ctl history --csv` of the month, whole: every row read and written as it comes.
void BM_MonthAsCsv(benchmark::State& state) {
  const std::filesystem::path file = MonthFolder() / "quelta" / "history.sqlite";
  std::size_t bytes = 0;
  for (auto _ : state) {
    CountingBuffer buffer;
    std::ostream out(&buffer);
    history::HistoryQuery query(file);
    if (!app::ctl::ExportHistory(out, app::ctl::HistoryFormat::Csv, query, history::HistoryTime{},
                                 history::HistoryTime::max()))
      state.SkipWithError(query.LastError().c_str());
    bytes = buffer.count;
  }
  state.counters["MB_out"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_MonthAsCsv)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace
