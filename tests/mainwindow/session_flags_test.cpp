// The alarm flags and the blink's phases are held once, by the session: what the evaluation,
// the alarm page's group switch and the blink write there is what every view reads.
#include <gtest/gtest.h>

#include <cstddef>

#include "support/alarm_test_support.h"

namespace mainwindow::testing {
namespace {

using alarms::AlarmRow;

constexpr std::size_t kPsuFanRow = 1;
constexpr std::size_t kTempT1Row = 16;
constexpr std::size_t kTempT3Row = 18;

TEST_F(AlarmWindowTest, TheBlinkKeepsItsPhasesInTheSessionAllTheWayRound) {
  TFormMain& form = Create();
  RunCycle(1);
  // The PSU fan alarm is on in the factory settings (500 rpm).
  Readings(form, [](device::ReadingSet& r) { r.FanPSU = 0.0f; });
  ASSERT_TRUE(form.Session().Flags()[kPsuFanRow]);
  EXPECT_TRUE(form.AlarmStatus().InAlarm(AlarmRow::PSUFan));
  const bool phase[] = {true, false, true, false, true};
  for (std::size_t tick = 0; tick < 5; ++tick) {
    Tick();
    EXPECT_EQ(form.Session().BlinkPhases()[kPsuFanRow], phase[tick]) << tick;
    EXPECT_EQ(form.Blink().ImgAlarmPSU().Visible(), phase[tick]) << tick;
  }
  // The fan turns again: the flag goes with the next evaluation, the phase with the next tick.
  Readings(form, [](device::ReadingSet& r) { r.FanPSU = 2000.0f; });
  EXPECT_FALSE(form.Session().Flags()[kPsuFanRow]);
  Tick();
  EXPECT_FALSE(form.Session().BlinkPhases()[kPsuFanRow]);
  EXPECT_FALSE(form.Blink().ImgAlarmPSU().Visible());
}

TEST_F(AlarmWindowTest, TheTemperatureSwitchSetsTheSessionsFlagsThereAndBack) {
  TFormMain& form = Create();
  RunCycle(1);
  RollTo(form, Page::kAlarm);
  settings::AlarmSettings& s = form.Alarms();
  s.TempT1 = {30.0f, true, 30.0f};
  s.TempT3 = {30.0f, true, 30.0f};
  Readings(form, [](device::ReadingSet& r) {
    r.TempT1 = 31.0f;  // just above
    r.TempT3 = 30.0f;  // on its threshold: no alarm
  });
  ASSERT_TRUE(form.Session().Flags()[kTempT1Row]);
  alarms::AlarmPage& page = *form.AlarmPage();
  Click(*page.Button("Temperature"));
  Click(*page.Button("Disable"));
  EXPECT_FALSE(form.Session().Flags()[kTempT1Row]) << "switched off: no longer in alarm";
  EXPECT_FALSE(form.AlarmStatus().InAlarm(AlarmRow::TempT1));
  Click(*page.Button("Disable"));
  EXPECT_TRUE(form.Session().Flags()[kTempT1Row]) << "switched on again: at once, before a poll";
  EXPECT_FALSE(form.Session().Flags()[kTempT3Row]);
  EXPECT_TRUE(form.AlarmStatus().InAlarm(AlarmRow::TempT1));
}

}  // namespace
}  // namespace mainwindow::testing
