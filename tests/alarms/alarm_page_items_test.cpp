// The alarm page's displays and switches as its skin records name them, built from the
// reading catalogue: every name typed in from the skin, so a slip in the naming rules shows.
#include "alarms/alarm_page_items.h"

#include <gtest/gtest.h>

#include <string>

namespace alarms {
namespace {

template <typename Get>
std::string Each(Get get) {
  std::string out;
  for (const ThresholdItem& item : ThresholdItems()) out += (out.empty() ? "" : " ") + get(item);
  return out;
}

TEST(ThresholdItems, DisplaysAndSwitchesCarryTheSkinsNamesInDisplayOrder) {
  EXPECT_EQ(Each([](const ThresholdItem& i) { return i.display; }),
            "AWattTotal AVol12V AVol5V AVol33V AC12V1 AC12V2 AC12V3 AC12V4 AC5V AC33V AFSPSU "
            "AFSSystemFan ATempPSU ATempT1 ATempT2 ATempT3 ATempT4");
  EXPECT_EQ(Each([](const ThresholdItem& i) { return i.key; }),
            "Total Voltage\\12V Voltage\\5V Voltage\\33V 12V1 12V2 12V3 12V4 5V 33V FanSpeed\\PSU "
            "FanSpeed\\SystemFan Temperature\\PSU Temperature\\T1 Temperature\\T2 "
            "Temperature\\T3 Temperature\\T4");
  // Power has no switch of its own: its group's Disable stands for it.
  EXPECT_EQ(Each([](const ThresholdItem& i) { return i.switchName + "|" + i.switchKey; }),
            "| A12VLight|Voltage\\12VLight A5VLight|Voltage\\5VLight A33VLight|Voltage\\33VLight "
            "AC12V1Light|12V1Light AC12V2Light|12V2Light AC12V3Light|12V3Light "
            "AC12V4Light|12V4Light AC5VLight|5VLight AC33VLight|33VLight "
            "AFSPSULight|FanSpeed\\PSULight AFSSystemFanLight|FanSpeed\\SystemFanLight "
            "ATempPSULight|Temperature\\PSULight ATempT1Light|Temperature\\T1Light "
            "ATempT2Light|Temperature\\T2Light ATempT3Light|Temperature\\T3Light "
            "ATempT4Light|Temperature\\T4Light");
}

TEST(ThresholdItems, EachItemHoldsItsOwnThresholdGroupAndLooks) {
  using S = settings::AlarmSettings;
  const settings::AlarmThreshold S::*fields[kThresholdCount] = {
      nullptr,         &S::Voltage12V,  &S::Voltage5V,   &S::Voltage33V, &S::Current12V1,
      &S::Current12V2, &S::Current12V3, &S::Current12V4, &S::Current5V,  &S::Current33V,
      &S::PSUFan,      &S::SystemFan,   &S::TempPSU,     &S::TempT1,     &S::TempT2,
      &S::TempT3,      &S::TempT4};
  constexpr settings::AlarmGroup W = settings::AlarmGroup::kWatt,
                                 V = settings::AlarmGroup::kVoltage,
                                 C = settings::AlarmGroup::kCurrent,
                                 F = settings::AlarmGroup::kFanSpeed,
                                 T = settings::AlarmGroup::kTemperature;
  const settings::AlarmGroup groups[kThresholdCount] = {W, V, V, V, C, C, C, C, C,
                                                        C, F, F, T, T, T, T, T};
  for (std::size_t i = 0; i < kThresholdCount; ++i) {
    const ThresholdItem& item = ThresholdItems()[i];
    SCOPED_TRACE(item.display);
    EXPECT_EQ(item.threshold, fields[i]);
    EXPECT_EQ(item.group, groups[i]);
    EXPECT_EQ(item.centred, i >= 1 && i <= 3);  // the voltages show a share of the nominal
    EXPECT_EQ(item.current, i >= 4 && i <= 9);
    EXPECT_EQ(item.notAt450, i == 6 || i == 7);  // 12V3 and 12V4 currents
  }
}

}  // namespace
}  // namespace alarms
