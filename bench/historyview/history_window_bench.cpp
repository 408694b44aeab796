// Opening the history window on 30 days of record: the read, the model and the first paint.
// Run on the release build: build/release/bin/history_window_bench
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "history/history_query.h"
#include "history/history_recorder.h"
#include "history/virtual_history_clock.h"
#include "historyview/history_file_hooks.h"
#include "historyview/history_window.h"
#include "platform/registry/reg_file_store.h"

namespace {

constexpr std::int64_t kMinuteMs = 60'000;
constexpr std::int64_t kDayMs = 24 * 60 * kMinuteMs;

// 30 days as the recorder leaves them: 29 days folded into minute rows, then a day of polls
// every 3 s, with an alarm every few hours and a connection loss a day. Made once per run.
class ThirtyDays {
 public:
  ThirtyDays() {
    std::filesystem::create_directories(folder_);
    std::filesystem::remove(file_);
    const history::HistoryTime start(std::chrono::milliseconds(end_ - 30 * kDayMs));
    history::VirtualHistoryClock clock(start);
    history::HistoryRecorder recorder({file_, 1}, clock);
    device::ReadingSet r;
    for (std::int64_t t = 0; t < 30 * kDayMs;) {
      const double phase = static_cast<double>(t) / kDayMs * 6.283;
      r.WattTotal = static_cast<float>(320 + 120 * std::sin(phase));
      r.Vol12V1 = r.Vol12V2 = r.Vol12V3 = r.Vol12V4 =
          static_cast<float>(12.0 + 0.1 * std::sin(phase * 3));
      r.Vol5V = 5.02f;
      r.Vol33V = 3.31f;
      r.TempPSU = static_cast<float>(45 + 10 * std::sin(phase));
      r.TempT1 = r.TempT2 = r.TempT3 = r.TempT4 = 38.0f;
      r.FanPSU = static_cast<float>(1200 + 400 * std::sin(phase));
      r.FanSystem = 900.0f;
      recorder.RecordPoll(r);
      if (t % (5 * 60 * kMinuteMs) == 0)
        recorder.RecordEvent(history::HistoryEventKind::AlarmStart, "12V2");
      if (t % (5 * 60 * kMinuteMs) == 10 * kMinuteMs)
        recorder.RecordEvent(history::HistoryEventKind::AlarmEnd, "12V2");
      const std::int64_t step = t < 29 * kDayMs ? kMinuteMs : 3000;
      t += step;
      clock.Advance(std::chrono::milliseconds(step));
    }
    recorder.Maintain();
    std::filesystem::path settings = folder_ / "registry.reg";
    std::ofstream(settings) << "Windows Registry Editor Version 5.00\n";
    store_ = std::make_unique<platform::RegFileStore>(settings);
  }

  ~ThirtyDays() {
    store_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  ThirtyDays(const ThirtyDays&) = delete;
  ThirtyDays& operator=(const ThirtyDays&) = delete;

  std::int64_t End() const { return end_; }
  const std::filesystem::path& File() const { return file_; }
  platform::RegistryStore& Store() { return *store_; }

 private:
  std::int64_t end_ = 1'800'000'000'000;
  std::filesystem::path folder_ = std::filesystem::temp_directory_path() /
                                  ("quelta-history-bench-" + std::to_string(::getpid()));
  std::filesystem::path file_ = folder_ / "history.sqlite";
  std::unique_ptr<platform::RegistryStore> store_;
};

QApplication& Qt() {
  static int argc = 1;
  static char name[] = "bench";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

ThirtyDays& Record() {
  static ThirtyDays record;
  return record;
}

void BM_OpenThirtyDays(benchmark::State& state) {
  Qt();
  ThirtyDays& record = Record();
  for (auto _ : state) {
    historyview::HistoryWindowHooks hooks =
        historyview::FileHistoryHooks(record.File(), record.Store());
    hooks.now = [end = record.End()] { return end; };
    historyview::HistoryWindow window(std::move(hooks));
    window.resize(1000, 820);
    window.ShowRange(historyview::RangeChoice::Month);
    QImage shot = window.grab().toImage();
    benchmark::DoNotOptimize(shot.bits());
    state.counters["rows"] = static_cast<double>(window.Model().Shown().size());
  }
}
BENCHMARK(BM_OpenThirtyDays)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// The read alone: the month's points and events from the file.
void BM_ReadThirtyDays(benchmark::State& state) {
  ThirtyDays& record = Record();
  for (auto _ : state) {
    history::HistoryQuery query(record.File());
    historyview::HistoryRecord read =
        historyview::ReadHistory(query, record.File(), record.End() - 30 * kDayMs, record.End());
    benchmark::DoNotOptimize(read.rows.data());
  }
}
BENCHMARK(BM_ReadThirtyDays)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_OpenLastDay(benchmark::State& state) {
  Qt();
  ThirtyDays& record = Record();
  for (auto _ : state) {
    historyview::HistoryWindowHooks hooks =
        historyview::FileHistoryHooks(record.File(), record.Store());
    hooks.now = [end = record.End()] { return end; };
    historyview::HistoryWindow window(std::move(hooks));
    window.resize(1000, 820);
    window.ShowRange(historyview::RangeChoice::Day);
    QImage shot = window.grab().toImage();
    benchmark::DoNotOptimize(shot.bits());
  }
}
BENCHMARK(BM_OpenLastDay)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
