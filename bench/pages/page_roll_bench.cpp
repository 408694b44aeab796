#include <benchmark/benchmark.h>

#include "roll_rig.h"

namespace {

using pages::testing::RollRig;

// A window with groups filled as the finished pages fill them: the monitor page's buttons,
// displays and extras, the configuration and alarm pages' tabs, switches, markers and
// threshold displays.
void FillGroups(RollRig& rig) {
  pages::PageGroups& g = rig.groups;
  for (int i = 0; i < 24; ++i) rig.Plain(g.MonitorControls, 20 + i * 22, 20);
  for (int i = 0; i < 22; ++i) rig.Display(g.MonitorDisplays, 30 + i * 24);
  for (int i = 0; i < 4; ++i) rig.Plain(g.MonitorExtras, 380 + i * 30, 20);
  for (int i = 0; i < 6; ++i) rig.Plain(g.ConfigButtons, 40 + i * 80, 30, false);
  for (int i = 0; i < 8; ++i) rig.Plain(g.VoltageControls, 100 + i * 50, 20, false);
  for (int i = 0; i < 3; ++i) rig.Display(g.VoltageDisplays, 120 + i * 100, false);
  for (int i = 0; i < 8; ++i) rig.Plain(g.FanButtons, 90 + i * 50, 30, false);
  for (int i = 0; i < 8; ++i) rig.Plain(g.AlarmControls, 20 + i * 60, 30, false);
  rig.Display(rig.groups.MonitorDisplays, 100);  // stands in for the power display below
  g.AWattTotal = rig.groups.MonitorDisplays.back();
  rig.groups.MonitorDisplays.pop_back();
  for (auto* list : {&g.AlarmVoltageControls, &g.AlarmCurrentControls, &g.AlarmFanControls,
                     &g.AlarmTempControls}) {
    for (int i = 0; i < 10; ++i) rig.Plain(*list, 150 + i * 30, 20, false);
  }
  for (auto* list : {&g.AlarmVoltageDisplays, &g.AlarmCurrentDisplays, &g.AlarmFanDisplays,
                     &g.AlarmTempDisplays}) {
    for (int i = 0; i < 5; ++i) rig.Display(*list, 150 + i * 60, false);
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
