#include "session/monitor_readings.h"

#include <gtest/gtest.h>

namespace session {
namespace {

device::ReadingSet Currents(float c12v1, float c5v) {
  device::ReadingSet r;
  r.Cur12V1 = c12v1;
  r.Cur5V = c5v;
  return r;
}

TEST(MonitorReadings, PeaksRiseWithHigherValuesOnly) {
  MonitorReadings readings;
  readings.CopyCurrents(Currents(10.0f, 2.0f));
  readings.CopyCurrents(Currents(8.0f, 3.0f));
  EXPECT_EQ(readings.CurrentPeak(CurrentRail::C12V1), 10.0f);
  EXPECT_EQ(readings.CurrentPeak(CurrentRail::C5V), 3.0f);
  EXPECT_EQ(readings.Current(CurrentRail::C12V1), 8.0f);
  readings.CopyWatt(300.0f);
  readings.CopyWatt(250.0f);
  EXPECT_EQ(readings.WattPeak(), 300.0f);
}

TEST(MonitorReadings, AfterClearingTheNextValueBecomesThePeakEvenWhenLower) {
  MonitorReadings readings;
  readings.CopyCurrents(Currents(10.0f, 2.0f));
  readings.CopyWatt(300.0f);
  readings.ClearPeaks();
  EXPECT_EQ(readings.CurrentPeak(CurrentRail::C12V1), 0.0f);
  readings.CopyCurrents(Currents(4.0f, 1.0f));
  readings.CopyWatt(120.0f);
  EXPECT_EQ(readings.CurrentPeak(CurrentRail::C12V1), 4.0f);
  EXPECT_EQ(readings.CurrentPeak(CurrentRail::C5V), 1.0f);
  EXPECT_EQ(readings.WattPeak(), 120.0f);
}

TEST(MonitorReadings, TheNegativeRailShowsItsMagnitudeWithTheSign) {
  MonitorReadings readings;
  device::ReadingSet r;
  r.VolNeg12V = -11.9f;
  r.Vol5V = 5.02f;
  readings.CopyVoltages(r);
  const ShownValue negative = readings.Voltage(VoltageRail::Neg12V);
  EXPECT_FLOAT_EQ(negative.magnitude, 11.9f);
  EXPECT_TRUE(negative.negative);
  const ShownValue five = readings.Voltage(VoltageRail::V5);
  EXPECT_FLOAT_EQ(five.magnitude, 5.02f);
  EXPECT_FALSE(five.negative);
}

TEST(MonitorReadings, BarRangesAreTheRailsVoltageWindows) {
  EXPECT_FLOAT_EQ(WindowOf(VoltageRail::V5sb).low, 4.75f);
  EXPECT_FLOAT_EQ(WindowOf(VoltageRail::V33).high, 3.465f);
  EXPECT_FLOAT_EQ(WindowOf(VoltageRail::Neg12V).low, 11.4f);
  // A current's bar takes the window of the voltage rail it flows on.
  EXPECT_FLOAT_EQ(WindowOf(CurrentRail::C33V).low, 3.135f);
  EXPECT_FLOAT_EQ(WindowOf(CurrentRail::C12V4).high, 12.6f);
}

}  // namespace
}  // namespace session
