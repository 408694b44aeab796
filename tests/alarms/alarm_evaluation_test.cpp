#include "alarms/alarm_evaluation.h"

#include <gtest/gtest.h>

#include <array>

namespace alarms {
namespace {

using settings::AlarmSettings;
using settings::AlarmThreshold;

AlarmState Evaluate(const device::ReadingSet& readings, const AlarmSettings& settings,
                    bool monitorPageShown = true) {
  return EvaluateAlarms(readings, settings, monitorPageShown);
}

TEST(EvaluateAlarms, FiveVoltBandCountsBothEdgesAsAlarm) {
  AlarmSettings s;
  s.Voltage5V = {5.25f, true, 5.25f};
  device::ReadingSet r;
  for (const auto& [reading, alarm] : {std::pair{5.25f, true},
                                       {4.75f, true},
                                       {5.0f, false},
                                       {5.24f, false},
                                       {4.76f, false},
                                       {5.26f, true},
                                       {4.74f, true}}) {
    r.Vol5V = reading;
    EXPECT_EQ(Evaluate(r, s)[AlarmRow::Vol5V], alarm) << reading;
  }
  s.Voltage5V.Enable = false;
  r.Vol5V = 5.25f;
  EXPECT_FALSE(Evaluate(r, s)[AlarmRow::Vol5V]);
}

TEST(EvaluateAlarms, AThresholdBelowNominalDrawsTheSameBandAndIsNotStoredBack) {
  AlarmSettings s;
  s.Voltage5V = {4.75f, true, 5.25f};
  s.Voltage33V = {3.135f, true, 3.46f};
  s.Voltage12V = {11.4f, true, 12.6f};
  const AlarmSettings before = s;
  device::ReadingSet r;
  r.Vol5V = 5.25f;
  r.Vol33V = 3.465f;
  r.Vol12V1 = r.Vol12V2 = r.Vol12V3 = r.Vol12V4 = 12.0f;
  AlarmState state = Evaluate(r, s);
  EXPECT_TRUE(state[AlarmRow::Vol5V]);
  EXPECT_TRUE(state[AlarmRow::Vol33V]);
  EXPECT_FALSE(state[AlarmRow::Vol12V1]);

  // Inside the band from the lower edge: 5.0 and 3.3 are good, the lower edges are not.
  r.Vol5V = 5.0f;
  r.Vol33V = 3.3f;
  state = Evaluate(r, s);
  EXPECT_FALSE(state[AlarmRow::Vol5V]);
  EXPECT_FALSE(state[AlarmRow::Vol33V]);
  r.Vol5V = 4.75f;
  r.Vol33V = 3.135f;
  r.Vol12V3 = 12.6f;
  state = Evaluate(r, s);
  EXPECT_TRUE(state[AlarmRow::Vol5V]);
  EXPECT_TRUE(state[AlarmRow::Vol33V]);
  EXPECT_TRUE(state[AlarmRow::Vol12V3]);
  EXPECT_EQ(s.Voltage5V.Value, before.Voltage5V.Value);
  EXPECT_EQ(s.Voltage33V.Value, before.Voltage33V.Value);
  EXPECT_EQ(s.Voltage12V.Value, before.Voltage12V.Value);
}

TEST(KeepVoltageUpperEdges, ALowerEdgeBecomesItsMirrorAndAnUpperEdgeStays) {
  AlarmSettings s;
  s.Voltage5V = {4.75f, true, 4.75f};
  s.Voltage33V = {3.135f, false, 3.46f};
  s.Voltage12V = {11.4f, true, 12.6f};
  s.Current5V = {4.0f, true, 4.0f};  // not a band: left alone
  settings::KeepVoltageUpperEdges(s);
  EXPECT_EQ(s.Voltage5V.Value, 5.25f);
  EXPECT_EQ(s.Voltage33V.Value, 3.465f);
  EXPECT_EQ(s.Voltage12V.Value, 12.6f);
  EXPECT_EQ(s.Voltage5V.Default, 4.75f);
  EXPECT_EQ(s.Current5V.Value, 4.0f);
  // Once an upper edge, always the same one: the shared 12 V threshold is not folded back.
  settings::KeepVoltageUpperEdges(s);
  EXPECT_EQ(s.Voltage5V.Value, 5.25f);
  EXPECT_EQ(s.Voltage33V.Value, 3.465f);
  EXPECT_EQ(s.Voltage12V.Value, 12.6f);
  // The nominal itself is a band of no width, its own upper edge.
  s.Voltage5V.Value = 5.0f;
  settings::KeepVoltageUpperEdges(s);
  EXPECT_EQ(s.Voltage5V.Value, 5.0f);
}

TEST(EvaluateAlarms, OneTwelveVoltThresholdAndSwitchServeAllFourRails) {
  AlarmSettings s;
  s.Voltage12V = {12.6f, true, 12.6f};
  const float values[4] = {12.6f, 11.4f, 12.0f, 12.59f};
  const bool alarms[4] = {true, true, false, false};
  constexpr AlarmRow rows[4] = {AlarmRow::Vol12V1, AlarmRow::Vol12V2, AlarmRow::Vol12V3,
                                AlarmRow::Vol12V4};
  // Each rail sees each value once.
  for (int shift = 0; shift < 4; ++shift) {
    device::ReadingSet r;
    float* rails[4] = {&r.Vol12V1, &r.Vol12V2, &r.Vol12V3, &r.Vol12V4};
    for (int i = 0; i < 4; ++i) *rails[i] = values[(i + shift) % 4];
    const AlarmState state = Evaluate(r, s);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(state[rows[i]], alarms[(i + shift) % 4]) << shift << i;
  }
  s.Voltage12V.Enable = false;
  device::ReadingSet r;
  r.Vol12V1 = r.Vol12V2 = r.Vol12V3 = r.Vol12V4 = 11.0f;
  EXPECT_FALSE(Evaluate(r, s).Any());
}

TEST(EvaluateAlarms, PowerCountsAboveItsThresholdOnlyOnTheMonitorPageAndUnmuted) {
  AlarmSettings s;
  s.Watt = 450.0f;
  device::ReadingSet r;
  r.WattTotal = 450.0f;
  EXPECT_FALSE(Evaluate(r, s)[AlarmRow::Watt]);
  r.WattTotal = 450.5f;
  EXPECT_TRUE(Evaluate(r, s)[AlarmRow::Watt]);
  EXPECT_FALSE(Evaluate(r, s, false)[AlarmRow::Watt]);
  s.WattMuted = true;
  EXPECT_FALSE(Evaluate(r, s)[AlarmRow::Watt]);
}

TEST(EvaluateAlarms, FansAlarmWhenSlowerThanTheirThreshold) {
  AlarmSettings s;
  s.PSUFan = {1000.0f, true, 500.0f};
  s.SystemFan = {800.0f, true, 500.0f};
  device::ReadingSet r;
  r.FanPSU = 0.0f;
  r.FanSystem = 800.0f;
  AlarmState state = Evaluate(r, s);
  EXPECT_TRUE(state[AlarmRow::PSUFan]);
  EXPECT_FALSE(state[AlarmRow::SystemFan]);
  r.FanPSU = 1000.0f;
  r.FanSystem = 799.0f;
  state = Evaluate(r, s);
  EXPECT_FALSE(state[AlarmRow::PSUFan]);
  EXPECT_TRUE(state[AlarmRow::SystemFan]);
  s.SystemFan.Enable = false;
  EXPECT_FALSE(Evaluate(r, s)[AlarmRow::SystemFan]);
}

TEST(EvaluateAlarms, EveryCurrentAndTemperatureAlarmsStrictlyAboveItsOwnThreshold) {
  struct Member {
    AlarmRow row;
    float device::ReadingSet::*reading;
    AlarmThreshold AlarmSettings::*threshold;
    float value;
  };
  const Member members[] = {
      {AlarmRow::Cur5V, &device::ReadingSet::Cur5V, &AlarmSettings::Current5V, 20.0f},
      {AlarmRow::Cur33V, &device::ReadingSet::Cur33V, &AlarmSettings::Current33V, 21.0f},
      {AlarmRow::Cur12V1, &device::ReadingSet::Cur12V1, &AlarmSettings::Current12V1, 17.0f},
      {AlarmRow::Cur12V2, &device::ReadingSet::Cur12V2, &AlarmSettings::Current12V2, 18.0f},
      {AlarmRow::Cur12V3, &device::ReadingSet::Cur12V3, &AlarmSettings::Current12V3, 19.0f},
      {AlarmRow::Cur12V4, &device::ReadingSet::Cur12V4, &AlarmSettings::Current12V4, 22.0f},
      {AlarmRow::TempPSU, &device::ReadingSet::TempPSU, &AlarmSettings::TempPSU, 60.0f},
      {AlarmRow::TempT1, &device::ReadingSet::TempT1, &AlarmSettings::TempT1, 51.0f},
      {AlarmRow::TempT2, &device::ReadingSet::TempT2, &AlarmSettings::TempT2, 52.0f},
      {AlarmRow::TempT3, &device::ReadingSet::TempT3, &AlarmSettings::TempT3, 53.0f},
      {AlarmRow::TempT4, &device::ReadingSet::TempT4, &AlarmSettings::TempT4, 54.0f},
  };
  for (const Member& alarmed : members) {
    AlarmSettings s;
    device::ReadingSet r;
    // Every member sits exactly on its threshold, the one under test just above it.
    for (const Member& m : members) {
      s.*m.threshold = {m.value, true, m.value};
      r.*m.reading = m.value;
    }
    r.*alarmed.reading = alarmed.value + 0.5f;
    AlarmState state = Evaluate(r, s);
    for (const Member& m : members) EXPECT_EQ(state[m.row], &m == &alarmed) << alarmed.value;
    (s.*alarmed.threshold).Enable = false;
    EXPECT_FALSE(Evaluate(r, s)[alarmed.row]);
  }
}

TEST(EvaluateAlarms, ZeroThresholdsSwitchedOn) {
  AlarmSettings s;  // as without any alarm key: thresholds 0, power not muted
  s.PSUFan.Enable = true;
  s.Voltage5V.Enable = true;
  device::ReadingSet r;
  r.WattTotal = 0.5f;
  r.FanPSU = 0.0f;
  r.Vol5V = 5.0f;
  AlarmState state = Evaluate(r, s);
  EXPECT_TRUE(state[AlarmRow::Watt]);
  EXPECT_FALSE(state[AlarmRow::PSUFan]);
  EXPECT_FALSE(state[AlarmRow::Vol5V]);  // the band runs from 0 to 10
  EXPECT_EQ(s.Voltage5V.Value, 0.0f);
  r.Vol5V = 10.0f;
  EXPECT_TRUE(Evaluate(r, s)[AlarmRow::Vol5V]);
}

TEST(AlarmStatus, ThePowerGroupFlagIsTheStoredMutedFlagAndTheOthersStandAlone) {
  AlarmSettings s;
  std::array<bool, alarms::kAlarmRowCount> flags{};
  AlarmStatus status(s, flags);
  using settings::AlarmGroup;
  const auto beside = [](AlarmGroup group, std::int32_t step) {
    return static_cast<AlarmGroup>(static_cast<std::int32_t>(group) + step);
  };
  for (const AlarmGroup group : settings::kAlarmGroups) EXPECT_FALSE(status.GroupMuted(group));
  status.SetGroupMuted(AlarmGroup::kWatt, true);
  EXPECT_TRUE(s.WattMuted);
  status.SetGroupMuted(AlarmGroup::kFanSpeed, true);
  EXPECT_TRUE(status.GroupMuted(AlarmGroup::kFanSpeed));
  EXPECT_FALSE(status.GroupMuted(AlarmGroup::kCurrent));
  EXPECT_FALSE(status.GroupMuted(AlarmGroup::kTemperature));
  status.SetGroupMuted(beside(AlarmGroup::kTemperature, 1), true);
  EXPECT_FALSE(status.GroupMuted(beside(AlarmGroup::kTemperature, 1)));
  EXPECT_FALSE(status.GroupMuted(beside(AlarmGroup::kWatt, -1)));
  s.WattMuted = false;
  EXPECT_FALSE(status.GroupMuted(AlarmGroup::kWatt));
}

}  // namespace
}  // namespace alarms
