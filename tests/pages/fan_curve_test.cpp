// The fan-speed page's curve geometry, unit conversion and edit text rules.
#include "pages/fan_curve.h"

#include <gtest/gtest.h>

#include "core/numbers.h"

namespace pages::fan_curve {
namespace {

TEST(FanCurve, PointerMapsTheWholeAreaWhileTheDrawingMapsEightyFiveByOneFiftySeven) {
  // Top-left: the highest start voltage at the lowest rising temperature.
  EXPECT_FLOAT_EQ(ValuesAtPointer(0, 0).volts, 12.0f);
  EXPECT_FLOAT_EQ(ValuesAtPointer(0, 0).celsius, 25.0f);
  EXPECT_EQ(KneeOf(12.0f, 25.0f), (ui::Point{1, 5}));
  // Bottom-right and back: the lowest start voltage at the highest temperature.
  EXPECT_FLOAT_EQ(ValuesAtPointer(158, 90).volts, 4.0f);
  EXPECT_FLOAT_EQ(ValuesAtPointer(158, 90).celsius, 74.0f);
  EXPECT_EQ(KneeOf(4.0f, 74.0f), (ui::Point{157, 89}));
  // The middle: 8 V, 49.5 C; o = trunc(42.5), x = trunc(78.5).
  EXPECT_FLOAT_EQ(ValuesAtPointer(79, 45).volts, 8.0f);
  EXPECT_FLOAT_EQ(ValuesAtPointer(79, 45).celsius, 49.5f);
  EXPECT_EQ(KneeOf(8.0f, 49.5f), (ui::Point{78, 48}));
  // No start voltage at all (an empty edit): drawn below the area, unclamped.
  EXPECT_EQ(KneeOf(0.0f, 40.0f), (ui::Point{48, 132}));
}

TEST(FanCurve, MarkerOffsetsStopAtBothEndsOfTheirRange) {
  EXPECT_EQ(StartVoltsMarkerOffset(3.9f), 0);
  EXPECT_EQ(StartVoltsMarkerOffset(4.0f), 0);
  EXPECT_EQ(StartVoltsMarkerOffset(6.0f), 21);  // 2 x 85 / 8 = 21.25
  EXPECT_EQ(StartVoltsMarkerOffset(12.0f), 85);
  EXPECT_EQ(StartVoltsMarkerOffset(12.1f), 85);
  EXPECT_EQ(RisingTempMarkerOffset(24.9f), 0);
  EXPECT_EQ(RisingTempMarkerOffset(40.0f), 48);  // 15 x 157 / 49 = 48.06
  EXPECT_EQ(RisingTempMarkerOffset(74.0f), 157);
  EXPECT_EQ(RisingTempMarkerOffset(74.1f), 157);
  const CurveValues low = Clamped({3.0f, 20.0f});
  const CurveValues high = Clamped({13.0f, 80.0f});
  EXPECT_FLOAT_EQ(low.volts, 4.0f);
  EXPECT_FLOAT_EQ(low.celsius, 25.0f);
  EXPECT_FLOAT_EQ(high.volts, 12.0f);
  EXPECT_FLOAT_EQ(high.celsius, 74.0f);
}

TEST(FanCurve, FahrenheitGoesThereAndBackToTheSameWholeDegree) {
  EXPECT_FLOAT_EQ(InPageUnit(45.0f, core::TempUnit::kFahrenheit), 113.0f);
  EXPECT_FLOAT_EQ(InPageUnit(45.0f, core::TempUnit::kCelsius), 45.0f);
  EXPECT_FLOAT_EQ(InPageUnit(74.0f, core::TempUnit::kFahrenheit), 165.2f);
  // 77 F is 24.999998 C in single precision; read from the page it is 25 C.
  EXPECT_LT(core::ToCelsius(77.0f), 25.0f);
  EXPECT_EQ(CelsiusFromPageUnit(77.0f, core::TempUnit::kFahrenheit), 25.0f);
  EXPECT_EQ(CelsiusFromPageUnit(113.0f, core::TempUnit::kFahrenheit), 45.0f);
  EXPECT_FLOAT_EQ(CelsiusFromPageUnit(165.0f, core::TempUnit::kFahrenheit), 73.889f);
  EXPECT_FLOAT_EQ(CelsiusFromPageUnit(109.0f, core::TempUnit::kFahrenheit), 42.778f);
  EXPECT_EQ(CelsiusFromPageUnit(45.9f, core::TempUnit::kCelsius), 45.9f);
}

TEST(FanCurve, NoDecimalsTruncatesTowardZero) {
  EXPECT_EQ(WholeText(45.9f), "45");
  EXPECT_EQ(WholeText(45.0f), "45");
  EXPECT_EQ(WholeText(165.2f), "165");
  EXPECT_EQ(WholeText(-17.8f), "-17");
  EXPECT_EQ(WholeText(-0.5f), "0");
}

TEST(FanCurve, DigitTestTakesDecimalsAndRefusesAnythingNotEndingInADigit) {
  for (const char* good : {"7.5", "45", "4.0", "12", "0.5", ".5"}) {
    EXPECT_TRUE(PassesDigitTest(good)) << good;
  }
  for (const char* bad : {"", "7.", "abc", "4,5", "-3", "+3", "1.2.3", " 5", "5 ", "5a", "1e2"}) {
    EXPECT_FALSE(PassesDigitTest(bad)) << bad;
  }
}

// Each edit's range from both sides of both ends, in the unit the page shows.
TEST(FanCurve, EditRefusalTakesEachRangeInclusiveAndLeavesAnEmptyTextToOk) {
  using core::TempUnit;
  constexpr const char* kVolts = "Please Enter Number Between (4.0 - 12.0)!";
  constexpr const char* kCelsius = "Please Enter Number Between (25 - 74)!";
  constexpr const char* kFahrenheit = "Please Enter Number Between (77 - 165)!";
  struct Case {
    const char* text;
    bool startVolts;
    TempUnit unit;
    const char* refusal;
  };
  const Case cases[] = {
      {"3.9", true, TempUnit::kCelsius, kVolts},
      {"4.0", true, TempUnit::kCelsius, nullptr},
      {"12", true, TempUnit::kFahrenheit, nullptr},
      {"12.1", true, TempUnit::kCelsius, kVolts},
      {"24.9", false, TempUnit::kCelsius, kCelsius},
      {"25", false, TempUnit::kCelsius, nullptr},
      {"74", false, TempUnit::kCelsius, nullptr},
      {"74.5", false, TempUnit::kCelsius, kCelsius},
      {"76.9", false, TempUnit::kFahrenheit, kFahrenheit},
      {"77", false, TempUnit::kFahrenheit, nullptr},
      {"165", false, TempUnit::kFahrenheit, nullptr},
      {"165.5", false, TempUnit::kFahrenheit, kFahrenheit},
      {"", false, TempUnit::kCelsius, nullptr},
      {"4,5", true, TempUnit::kCelsius, "Please Enter Digitial Number!"},
  };
  for (const Case& c : cases) {
    const char* got = EditRefusal(c.text, c.startVolts, c.unit);
    EXPECT_STREQ(got ? got : "", c.refusal ? c.refusal : "") << c.text;
  }
}

// 109 F is 42.778 C, whole 42; 100 F is what 38 C shows as, so it stays 38 (not 37).
TEST(FanCurve, WholeCelsiusKeepsThePagesOwnValueForTheNumberItShows) {
  EXPECT_EQ(WholeCelsius(109.0f, 40.0f, core::TempUnit::kFahrenheit), 42.0f);
  EXPECT_EQ(WholeCelsius(100.0f, 38.0f, core::TempUnit::kFahrenheit), 38.0f);
  EXPECT_EQ(WholeCelsius(100.0f, 40.0f, core::TempUnit::kFahrenheit), 37.0f);
  EXPECT_EQ(WholeCelsius(45.9f, 40.0f, core::TempUnit::kCelsius), 45.0f);
}

}  // namespace
}  // namespace pages::fan_curve
