#include "device/conversions.h"

#include <gtest/gtest.h>

namespace device {
namespace {

constexpr float kRef = 3.3f;

TEST(Conversions, SamplesAreTheTopTenBitsOfABigEndianWord) {
  EXPECT_EQ(TenBitSample(0xFF, 0xC0), 1023);
  EXPECT_EQ(TenBitSample(0x80, 0x00), 512);
  EXPECT_EQ(TenBitSample(0x80, 0x3F), 512);  // the low six bits carry nothing
  EXPECT_EQ(TenBitSample(0x00, 0x40), 1);
}

TEST(Conversions, ReferenceComesFromD1TimesFourPlusTheTopBitsOfD2) {
  EXPECT_FLOAT_EQ(*ReferenceFromReply(0x80, 0x00), 3.3f);
  EXPECT_FLOAT_EQ(*ReferenceFromReply(0x80, 0xC0), 3.2807767f);  // 1689.6 / raw 515
  EXPECT_FLOAT_EQ(*ReferenceFromReply(0x00, 0x40), 1689.6f);
  // A raw sample of 0 cannot be converted.
  EXPECT_FALSE(ReferenceFromReply(0x00, 0x3F).has_value());
}

TEST(Conversions, RailsScaleByTheirDividerAndNeverGoNegative) {
  EXPECT_FLOAT_EQ(LowRailVolts(512, kRef), 3.3f);
  EXPECT_FLOAT_EQ(HighRailVolts(512, kRef), 8.25f);
  EXPECT_FLOAT_EQ(LowRailVolts(1023, kRef), 6.5935547f);
  EXPECT_EQ(HighRailVolts(0, kRef), 0.0f);
  EXPECT_EQ(LowRailVolts(700, -1.0f), 0.0f);
}

TEST(Conversions, NegativeRailIsClampedAtZeroFromAbove) {
  EXPECT_FLOAT_EQ(NegativeRailVolts(0, kRef), -33.0f);
  EXPECT_NEAR(NegativeRailVolts(592, kRef), -12.014f, 0.001f);
  EXPECT_LT(NegativeRailVolts(930, kRef), 0.0f);
  EXPECT_EQ(NegativeRailVolts(931, kRef), 0.0f);
  EXPECT_EQ(NegativeRailVolts(1023, kRef), 0.0f);
}

TEST(Conversions, FanSpeedComesFromThePeriodBytes) {
  EXPECT_EQ(FanSpeed(0, 0), 0.0f);
  EXPECT_NEAR(FanSpeed(10, 0), 549.32f, 0.01f);  // period 109.226
  // The low byte is 1/255 of a period unit.
  EXPECT_NEAR(FanSpeed(4, 147), 1200.31, 0.05);  // period 4.5765 units
  EXPECT_NEAR(FanSpeed(0, 1), 1400765.4, 1.0);   // period 1/255 of a unit
}

TEST(Conversions, CalibrationByte255StandsForUnprogrammed) {
  const float offset = CalibrationOffset(255);
  EXPECT_EQ(offset, 0.0f);
  EXPECT_FLOAT_EQ(CalibrationGain(255, offset), 6.25f);
  EXPECT_FLOAT_EQ(CalibrationGain(124, CalibrationOffset(4)), 15.0f);
  // A gain byte of 255 is unprogrammed even when the offset is programmed.
  EXPECT_FLOAT_EQ(CalibrationGain(255, CalibrationOffset(10)), 5.0f);
}

TEST(Conversions, CurrentsUseOffsetAndGainAndNeverGoNegative) {
  EXPECT_FLOAT_EQ(RailCurrent(64, {4.0f, 15.0f}), 4.0f);
  EXPECT_EQ(RailCurrent(3, {4.0f, 15.0f}), 0.0f);
  EXPECT_EQ(RailCurrent(200, {4.0f, 0.0f}), 0.0f);  // an uncalibrated channel reads 0
  EXPECT_EQ(RailCurrent(200, {250.0f, -2.0f}), 25.0f);
}

TEST(Conversions, TotalPowerCountsOnlyTheSixRailsWithCurrents) {
  ReadingSet r;
  r.Vol12V1 = 12.0f;
  r.Cur12V1 = 10.0f;
  r.Vol5V = 5.0f;
  r.Cur5V = 2.0f;
  r.Vol5Vsb = 5.0f;
  r.VolNeg12V = -12.0f;
  EXPECT_FLOAT_EQ(WattTotal(r), 130.0f);
}

TEST(Conversions, PowerRatingMappingsDifferOnlyForUnknownCodes) {
  const std::pair<std::uint8_t, std::int32_t> known[] = {
      {0x45, 450}, {0x55, 550}, {0x68, 680}, {0x80, 800}};
  for (const auto& [code, watts] : known) {
    EXPECT_EQ(PowerRatingFromCode(code, RatingMapping::Worker), watts);
    EXPECT_EQ(PowerRatingFromCode(code, RatingMapping::Probe), watts);
  }
  EXPECT_EQ(PowerRatingFromCode(0x50, RatingMapping::Worker), 550);
  EXPECT_EQ(PowerRatingFromCode(0x50, RatingMapping::Probe), 0);
  EXPECT_EQ(PowerRatingFromCode(0x00, RatingMapping::Probe), 0);
}

TEST(Conversions, FanCurveVoltageCodeIsTruncatedAndHeldWithinOneByte) {
  const float ref = *ReferenceFromReply(0x80, 0x00);
  EXPECT_EQ(FanCurveVoltageCode(4.0f, ref), 62);
  EXPECT_EQ(FanCurveVoltageCode(12.0f, ref), 186);
  EXPECT_EQ(FanCurveVoltageCode(6.0f, ref), 93);
  EXPECT_EQ(FanCurveVoltageCode(20.0f, ref), 255);  // 310 does not fit: the highest code
  // Without a reference there is no code, rather than undefined bits.
  EXPECT_EQ(FanCurveVoltageCode(6.0f, 0.0f), 0);
}

TEST(Conversions, AtALowReferenceATwelveVoltStartIsClampedNotWrapped) {
  // 12 V gives raw * 4 / 11: 254.5, 254.9, 255.3, 256 and 372 at these raw references.
  const struct {
    std::uint8_t d1, d2;  // raw = d1 * 4 + d2 / 64
    int code;
  } cases[] = {
      {0xAF, 0x00, 254},  // raw 700
      {0xAF, 0x40, 254},  // raw 701
      {0xAF, 0x80, 255},  // raw 702
      {0xB0, 0x00, 255},  // raw 704: 256 would wrap to 0
      {0xFF, 0xC0, 255},  // raw 1023: 372 would wrap to 116
  };
  for (const auto& c : cases) {
    const float ref = *ReferenceFromReply(c.d1, c.d2);
    EXPECT_EQ(FanCurveVoltageCode(12.0f, ref), c.code) << int{c.d1} << " " << int{c.d2};
  }
  // A low start stays exact at the lowest reference: 4 V at raw 1023 is 124.
  EXPECT_EQ(FanCurveVoltageCode(4.0f, *ReferenceFromReply(0xFF, 0xC0)), 124);
}

TEST(Conversions, SystemFanSensorCodesCoverTheFiveChoicesOnly) {
  EXPECT_EQ(SystemFanSensorCode(0), 0xA0);
  EXPECT_EQ(SystemFanSensorCode(1), 0xA2);
  EXPECT_EQ(SystemFanSensorCode(4), 0xA8);
  EXPECT_EQ(SystemFanSensorCode(5), 0x00);
  EXPECT_EQ(SystemFanSensorCode(-1), 0x00);
}

}  // namespace
}  // namespace device
