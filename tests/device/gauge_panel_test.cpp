// The needle panel: positions, flag bits, the report, and the tick's open / send / close.
#include "device/gauge_panel.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sim/simulated_bus.h"

namespace device {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Power alarm above 500 W; PSU temperature above 60 C and PSU fan below 1200 rpm, both on.
GaugeThresholds Thresholds() {
  return GaugeThresholds{500.0f, {60.0f, true}, {1200.0f, true}};
}

std::int32_t PowerAt(float watt) {
  return ComputeGaugeState({watt, 40.0f, 2000.0f}, Thresholds(), {}).needles[0].position;
}
std::int32_t TemperatureAt(float celsius) {
  return ComputeGaugeState({100.0f, celsius, 2000.0f}, Thresholds(), {}).needles[1].position;
}
std::int32_t FanAt(float rpm) {
  return ComputeGaugeState({100.0f, 40.0f, rpm}, Thresholds(), {}).needles[2].position;
}

TEST(GaugeNeedles, PositionsAreClampedScaledAndRoundedHalfUp) {
  EXPECT_EQ(PowerAt(400.0f), 135);
  EXPECT_EQ(PowerAt(336.4f), 114);  // 113.535
  EXPECT_EQ(PowerAt(3.0f), 1);      // 1.0125
  EXPECT_EQ(PowerAt(600.0f), 203);  // exactly 202.5: the half goes up
  EXPECT_EQ(PowerAt(-40.0f), 0);
  EXPECT_EQ(PowerAt(800.0f), 270);
  EXPECT_EQ(PowerAt(1000.0f), 270);

  EXPECT_EQ(TemperatureAt(20.0f), 15);  // clamped to 28: 14.73
  EXPECT_EQ(TemperatureAt(52.5f), 135);
  EXPECT_EQ(TemperatureAt(80.0f), 270);
  EXPECT_EQ(TemperatureAt(95.0f), 270);

  EXPECT_EQ(FanAt(0.0f), 25);  // clamped to 1000: 24.55
  EXPECT_EQ(FanAt(1900.0f), 135);
  EXPECT_EQ(FanAt(3000.0f), 270);
  EXPECT_EQ(FanAt(4500.0f), 270);

  // A reading that is not a number points where the lowest reading does.
  EXPECT_EQ(PowerAt(std::nanf("")), 0);
  EXPECT_EQ(FanAt(std::nanf("")), 25);
}

TEST(GaugeNeedles, PositionsAbove255GoOutLessTwoHundredFiftyFiveWithBitZero) {
  const GaugeNeedle top{1000.0f, 270, false};
  EXPECT_EQ(top.PositionByte(), 15);
  EXPECT_EQ(top.FlagsByte(), 0x21);
  const GaugeNeedle edge{0.0f, 255, false};
  EXPECT_EQ(edge.PositionByte(), 255);
  EXPECT_EQ(edge.FlagsByte(), 0x20);
  const GaugeNeedle over{0.0f, 256, true};
  EXPECT_EQ(over.PositionByte(), 1);
  EXPECT_EQ(over.FlagsByte(), 0xE1);
}

TEST(GaugeNeedles, EachAlarmNeedsItsReadingPastTheThresholdItsSwitchAndItsGroup) {
  const GaugeThresholds alarms = Thresholds();
  const GaugeReadings inAlarm{501.0f, 61.0f, 1199.0f};
  GaugeState s = ComputeGaugeState(inAlarm, alarms, {});
  EXPECT_EQ(s.needles[0].FlagsByte(), 0xE0);
  EXPECT_EQ(s.needles[1].FlagsByte(), 0xE0);
  EXPECT_EQ(s.needles[2].FlagsByte(), 0xE0);

  // Exactly at the threshold is no alarm.
  s = ComputeGaugeState({500.0f, 60.0f, 1200.0f}, alarms, {});
  EXPECT_EQ(s.needles[0].FlagsByte(), 0x20);
  EXPECT_EQ(s.needles[1].FlagsByte(), 0x20);
  EXPECT_EQ(s.needles[2].FlagsByte(), 0x20);

  // Each muted group silences its own needle only.
  s = ComputeGaugeState(inAlarm, alarms, {true, false, false});
  EXPECT_EQ(s.needles[0].FlagsByte(), 0x20);
  EXPECT_EQ(s.needles[1].FlagsByte(), 0xE0);
  EXPECT_EQ(s.needles[2].FlagsByte(), 0xE0);
  s = ComputeGaugeState(inAlarm, alarms, {false, true, false});
  EXPECT_EQ(s.needles[0].FlagsByte(), 0xE0);
  EXPECT_EQ(s.needles[1].FlagsByte(), 0xE0);
  EXPECT_EQ(s.needles[2].FlagsByte(), 0x20);
  s = ComputeGaugeState(inAlarm, alarms, {false, false, true});
  EXPECT_EQ(s.needles[0].FlagsByte(), 0xE0);
  EXPECT_EQ(s.needles[1].FlagsByte(), 0x20);
  EXPECT_EQ(s.needles[2].FlagsByte(), 0xE0);

  // Switched off: the temperature and fan needles stay quiet; power has no switch of its own.
  GaugeThresholds off = alarms;
  off.TempPSU.Enable = false;
  off.PSUFan.Enable = false;
  s = ComputeGaugeState(inAlarm, off, {});
  EXPECT_EQ(s.needles[0].FlagsByte(), 0xE0);
  EXPECT_EQ(s.needles[1].FlagsByte(), 0x20);
  EXPECT_EQ(s.needles[2].FlagsByte(), 0x20);
}

TEST(GaugeNeedles, TheReportCarriesFlagsAndPositionOfEachNeedle) {
  GaugeThresholds alarms = Thresholds();
  alarms.Watt = 1200.0f;
  alarms.PSUFan.Value = 1000.0f;
  const GaugeState s = ComputeGaugeState({1000.0f, 20.0f, 0.0f}, alarms, {});
  const GaugeReport report = MakeGaugeReport(s);
  EXPECT_EQ(Bytes(report.begin(), report.end()),
            (Bytes{0x00, 0x00, 0x83, 0x21, 0x0F, 0x20, 0x0F, 0xE0, 0x19}));
}

// ---- the tick ----

class GaugeTickTest : public ::testing::Test {
 protected:
  void Tick(GaugeReadings readings = {400.0f, 52.5f, 1900.0f}) {
    panel_.GaugeTick(readings, Thresholds(), {});
  }
  sim::SimulatedBus bus_;
  GaugePanel panel_{bus_};
};

TEST_F(GaugeTickTest, TheFirstTickOnlyOpensAndTheNextOnesSend) {
  Tick();
  EXPECT_TRUE(panel_.GaugePresent());
  EXPECT_TRUE(panel_.Open());
  EXPECT_EQ(bus_.GaugeReports(), 0u);

  Tick();
  Tick({800.0f, 20.0f, 0.0f});
  const auto log = bus_.GaugeReportLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], (Bytes{0x00, 0x00, 0x83, 0x20, 135, 0x20, 135, 0x20, 135}));
  EXPECT_EQ(log[1], (Bytes{0x00, 0x00, 0x83, 0xE1, 15, 0x20, 15, 0xE0, 25}));
  ASSERT_TRUE(panel_.State().has_value());
  EXPECT_EQ(panel_.State()->needles[2].position, 25);
}

TEST_F(GaugeTickTest, UnpluggingClosesThePanelAndPluggingItBackOpensItAgain) {
  Tick();
  Tick();
  bus_.SetGaugePresent(false);
  Tick();
  EXPECT_FALSE(panel_.GaugePresent());
  EXPECT_FALSE(panel_.Open());
  EXPECT_FALSE(panel_.State().has_value());
  Tick();
  EXPECT_EQ(bus_.GaugeReports(), 1u);

  bus_.SetGaugePresent(true);
  Tick();  // opens
  EXPECT_EQ(bus_.GaugeReports(), 1u);
  Tick();
  EXPECT_EQ(bus_.GaugeReports(), 2u);
}

TEST_F(GaugeTickTest, APanelReplugedBetweenTwoTicksGetsItsNeedlesAgain) {
  Tick();
  Tick();
  EXPECT_EQ(bus_.GaugeReports(), 1u);
  // Out and back in before the next tick looks: it is present at every tick.
  bus_.SetGaugePresent(false);
  bus_.SetGaugePresent(true);
  Tick();  // the old handle fails and is let go
  EXPECT_FALSE(panel_.Open());
  Tick();  // opened afresh
  EXPECT_TRUE(panel_.Open());
  Tick();
  EXPECT_EQ(bus_.GaugeReports(), 2u);
}

TEST(GaugeTick, WithoutAPanelNothingOpens) {
  sim::Scenario scenario;
  scenario.gauge.present = false;
  sim::SimulatedBus bus(scenario);
  GaugePanel panel(bus);
  panel.GaugeTick({}, {}, {});
  panel.GaugeTick({}, {}, {});
  EXPECT_FALSE(panel.GaugePresent());
  EXPECT_FALSE(panel.Open());
  EXPECT_EQ(bus.GaugeReports(), 0u);
}

}  // namespace
}  // namespace device
