#include "alarms/alarm_notices.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace alarms {
namespace {

using namespace std::chrono_literals;

// A clock the test moves by hand.
struct ManualClock {
  std::chrono::steady_clock::time_point now{};
  AlarmNotices::Clock Source() {
    return [this] { return now; };
  }
};

AlarmState With(std::initializer_list<AlarmRow> rows) {
  AlarmState state;
  for (AlarmRow row : rows) state[row] = true;
  return state;
}

std::vector<std::string> Texts(const std::vector<AlarmNotice>& notices) {
  std::vector<std::string> texts;
  for (const AlarmNotice& n : notices) texts.push_back(n.Text());
  return texts;
}

class AlarmNoticesTest : public ::testing::Test {
 protected:
  AlarmNoticesTest() {
    settings_.Voltage12V = {12.6f, true, 12.6f};
    readings_.Vol12V2 = 12.71f;
    settings_.PSUFan = {1000.0f, true, 1000.0f};
    readings_.FanPSU = 0.0f;
  }
  std::vector<std::string> Evaluate(const AlarmState& state) {
    return Texts(notices_.Evaluated(state, readings_, settings_));
  }

  ManualClock clock_;
  AlarmNotices notices_{clock_.Source()};
  device::ReadingSet readings_;
  settings::AlarmSettings settings_;
};

TEST_F(AlarmNoticesTest, OnlyTheEvaluationWhereARowStartsIsTold) {
  EXPECT_TRUE(Evaluate({}).empty());
  EXPECT_EQ(Evaluate(With({AlarmRow::Vol12V2})),
            std::vector<std::string>{"Quelta: 12V2 at 12.71 V is beyond its 5 % band"});
  // It stays on for many polls (and blinks meanwhile): nothing more.
  for (int poll = 0; poll < 5; ++poll) {
    clock_.now += 3s;
    EXPECT_TRUE(Evaluate(With({AlarmRow::Vol12V2})).empty()) << poll;
  }
  // A second row starting beside it is told alone.
  clock_.now += 3s;
  EXPECT_EQ(Evaluate(With({AlarmRow::Vol12V2, AlarmRow::PSUFan})),
            std::vector<std::string>{"Quelta: PSU fan at 0 rpm is below its 1000 rpm threshold"});
}

TEST_F(AlarmNoticesTest, ARowIsToldAtMostOncePerMinuteEachRowOnItsOwnClock) {
  EXPECT_EQ(Evaluate(With({AlarmRow::Vol12V2})).size(), 1u);
  clock_.now += 20s;
  EXPECT_EQ(Evaluate(With({AlarmRow::PSUFan})).size(), 1u);  // 12V2 stops, the fan starts
  // 12V2 starts again 59.999 s after it was told: too soon. The fan, told 20 s ago, stops.
  clock_.now += 39999ms;
  EXPECT_TRUE(Evaluate(With({AlarmRow::Vol12V2})).empty());
  clock_.now += 1ms;  // 60 s after 12V2, 40 s after the fan
  EXPECT_TRUE(Evaluate({}).empty());
  EXPECT_EQ(Evaluate(With({AlarmRow::Vol12V2, AlarmRow::PSUFan})),
            std::vector<std::string>{"Quelta: 12V2 at 12.71 V is beyond its 5 % band"});
  clock_.now += 20s;  // the fan's minute is up
  EXPECT_TRUE(Evaluate({}).empty());
  EXPECT_EQ(Evaluate(With({AlarmRow::PSUFan})).size(), 1u);
}

TEST_F(AlarmNoticesTest, SwitchedOffNothingIsToldAndALastingAlarmIsNotToldLater) {
  notices_.SetEnabled(false);
  EXPECT_TRUE(Evaluate(With({AlarmRow::Vol12V2})).empty());
  clock_.now += 3s;
  notices_.SetEnabled(true);
  EXPECT_TRUE(Evaluate(With({AlarmRow::Vol12V2})).empty());  // it started while off
  clock_.now += 3s;
  EXPECT_EQ(Evaluate(With({AlarmRow::Vol12V2, AlarmRow::PSUFan})).size(), 1u);
  // What was never told does not count against the minute either.
  clock_.now += 3s;
  EXPECT_TRUE(Evaluate({}).empty());
  EXPECT_EQ(Evaluate(With({AlarmRow::Vol12V2})).size(), 1u);
}

TEST(AlarmNoticeBody, EveryRowSaysItsReadingAndWhatItCrossed) {
  settings::AlarmSettings s;
  s.Watt = 480.0f;
  s.PSUFan = {1000.0f, true, 0};
  s.SystemFan = {750.0f, true, 0};
  s.Voltage5V = {5.25f, true, 0};
  s.Voltage33V = {3.135f, true, 0};  // a lower edge: the band is the same either way
  s.Voltage12V = {12.72f, true, 0};
  s.Current5V = {20.0f, true, 0};
  s.Current33V = {15.5f, true, 0};
  s.Current12V1 = {18.0f, true, 0};
  s.Current12V2 = {18.25f, true, 0};
  s.Current12V3 = {19.0f, true, 0};
  s.Current12V4 = {20.0f, true, 0};
  s.TempPSU = {70.0f, true, 0};
  s.TempT1 = {60.0f, true, 0};
  s.TempT2 = {61.0f, true, 0};
  s.TempT3 = {62.0f, true, 0};
  s.TempT4 = {63.5f, true, 0};
  device::ReadingSet r;
  r.WattTotal = 512.3f;
  r.FanPSU = 0.0f;
  r.FanSystem = 612.0f;
  r.Vol5V = 4.7f;
  r.Vol33V = 3.47f;
  r.Vol12V1 = 11.2f;
  r.Vol12V2 = 12.8f;
  r.Vol12V3 = 12.72f;
  r.Vol12V4 = 11.28f;
  r.Cur5V = 20.5f;
  r.Cur33V = 16.0f;
  r.Cur12V1 = 18.2f;
  r.Cur12V2 = 18.5f;
  r.Cur12V3 = 19.01f;
  r.Cur12V4 = 25.0f;
  r.TempPSU = 71.5f;
  r.TempT1 = 60.5f;
  r.TempT2 = 62.0f;
  r.TempT3 = 80.3f;
  r.TempT4 = 64.0f;
  const std::pair<AlarmRow, const char*> expected[] = {
      {AlarmRow::Watt, "power at 512.30 W is above its 480 W threshold"},
      {AlarmRow::PSUFan, "PSU fan at 0 rpm is below its 1000 rpm threshold"},
      {AlarmRow::SystemFan, "system fan at 612 rpm is below its 750 rpm threshold"},
      {AlarmRow::Vol5V, "5V at 4.70 V is beyond its 5 % band"},
      {AlarmRow::Vol33V, "3.3V at 3.47 V is beyond its 5 % band"},
      {AlarmRow::Vol12V1, "12V1 at 11.20 V is beyond its 6 % band"},
      {AlarmRow::Vol12V2, "12V2 at 12.80 V is beyond its 6 % band"},
      {AlarmRow::Vol12V3, "12V3 at 12.72 V is beyond its 6 % band"},
      {AlarmRow::Vol12V4, "12V4 at 11.28 V is beyond its 6 % band"},
      {AlarmRow::Cur5V, "5V current at 20.50 A is above its 20 A threshold"},
      {AlarmRow::Cur33V, "3.3V current at 16.00 A is above its 15.5 A threshold"},
      {AlarmRow::Cur12V1, "12V1 current at 18.20 A is above its 18 A threshold"},
      {AlarmRow::Cur12V2, "12V2 current at 18.50 A is above its 18.25 A threshold"},
      {AlarmRow::Cur12V3, "12V3 current at 19.01 A is above its 19 A threshold"},
      {AlarmRow::Cur12V4, "12V4 current at 25.00 A is above its 20 A threshold"},
      {AlarmRow::TempPSU, "PSU temperature at 71.5 \u00B0C is above its 70 \u00B0C threshold"},
      {AlarmRow::TempT1, "T1 at 60.5 \u00B0C is above its 60 \u00B0C threshold"},
      {AlarmRow::TempT2, "T2 at 62.0 \u00B0C is above its 61 \u00B0C threshold"},
      {AlarmRow::TempT3, "T3 at 80.3 \u00B0C is above its 62 \u00B0C threshold"},
      {AlarmRow::TempT4, "T4 at 64.0 \u00B0C is above its 63.5 \u00B0C threshold"},
  };
  ASSERT_EQ(std::size(expected), kAlarmRowCount);
  for (const auto& [row, body] : expected) {
    EXPECT_EQ(AlarmNoticeBody(row, r, s), body) << static_cast<int>(row);
  }
}

TEST(AlarmNoticeBody, ABandShareKeepsOneDecimalWhenItHasOne) {
  settings::AlarmSettings s;
  s.Voltage12V = {12.54f, true, 0};  // 0.54 / 12 = 4.5 %
  device::ReadingSet r;
  r.Vol12V1 = 12.6f;
  EXPECT_EQ(AlarmNoticeBody(AlarmRow::Vol12V1, r, s), "12V1 at 12.60 V is beyond its 4.5 % band");
}

}  // namespace
}  // namespace alarms
