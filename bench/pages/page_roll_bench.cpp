#include <benchmark/benchmark.h>

#include "roll_rig.h"

namespace {

using pages::testing::RollRig;

// A window with containers filled as the finished pages fill them: the monitor page's buttons,
// displays and extras, the configuration and alarm pages' tabs, switches, markers and
// threshold displays.
void FillGroups(RollRig& rig) {
  for (int i = 0; i < 24; ++i) rig.Plain(rig.monitor.Controls(), 20 + i * 22, 20);
  for (int i = 0; i < 22; ++i) rig.Display(rig.monitor.Controls(), 30 + i * 24);
  for (int i = 0; i < 4; ++i) rig.Plain(rig.monitor.Extras(), 380 + i * 30, 20);
  for (int i = 0; i < 6; ++i) rig.Plain(rig.config.Buttons(), 40 + i * 80, 30, false);
  for (int i = 0; i < 8; ++i) rig.Plain(rig.voltageSubPage.Controls(), 100 + i * 50, 20, false);
  for (int i = 0; i < 3; ++i) rig.Display(rig.voltageSubPage.Displays(), 120 + i * 100, false);
  for (int i = 0; i < 8; ++i) rig.Plain(rig.fanSubPage.Controls(), 90 + i * 50, 30, false);
  for (int i = 0; i < 8; ++i) rig.Plain(rig.alarm.Controls(), 20 + i * 60, 30, false);
  for (settings::AlarmGroup group :
       {settings::AlarmGroup::kVoltage, settings::AlarmGroup::kCurrent,
        settings::AlarmGroup::kFanSpeed, settings::AlarmGroup::kTemperature}) {
    for (int i = 0; i < 10; ++i) rig.Plain(rig.alarm.Group(group), 150 + i * 30, 20, false);
    for (int i = 0; i < 5; ++i) rig.Display(rig.alarm.Group(group), 150 + i * 60, false);
  }
}

// One TimerDown tick, over and over, rolling between the three pages.
void BM_TimerDownTick(benchmark::State& state) {
  RollRig rig;
  FillGroups(rig);
  rig.Build();
  pages::Page next = pages::Page::kConfig;
  for (auto _ : state) {
    if (!rig.roll->TimerDown().Enabled()) {
      state.PauseTiming();
      rig.roll->SelectPage(next);
      next = pages::kPages[(pages::PageIndex(next) + 1) % std::size(pages::kPages)];
      state.ResumeTiming();
    }
    rig.roll->TimerDownTimer();
    benchmark::DoNotOptimize(rig.window.TakeDirty());
  }
}
BENCHMARK(BM_TimerDownTick)->Unit(benchmark::kMicrosecond);

}  // namespace
