#include "core/numbers.h"

#include <gtest/gtest.h>

#include <cfloat>

namespace core {
namespace {

TEST(ParseSettingNumber, RoundsHalfUpAtTheThirdDecimalAfterNarrowing) {
  EXPECT_FLOAT_EQ(ParseSettingNumber("7.12345"), 7.123f);
  EXPECT_FLOAT_EQ(ParseSettingNumber("0.0005"), 0.001f);
  // 7.1235 as a float is 7.12349987..., so it rounds down.
  EXPECT_FLOAT_EQ(ParseSettingNumber("7.1235"), 7.123f);
  EXPECT_FLOAT_EQ(ParseSettingNumber("450.00"), 450.0f);
  // A negative value rounds like its positive mirror; whole numbers stay whole.
  EXPECT_FLOAT_EQ(ParseSettingNumber("-7.1236"), -7.124f);
  EXPECT_FLOAT_EQ(ParseSettingNumber("-7.1234"), -7.123f);
  EXPECT_EQ(ParseSettingNumber("-11"), -11.0f);
  EXPECT_EQ(ParseSettingNumber("-12.00"), -12.0f);
}

TEST(ParseSettingNumber, TakesTheLeadingNumberAndGivesZeroForNone) {
  EXPECT_EQ(ParseSettingNumber(""), 0.0f);
  EXPECT_EQ(ParseSettingNumber("abc"), 0.0f);
  EXPECT_EQ(ParseSettingNumber("."), 0.0f);
  EXPECT_FLOAT_EQ(ParseSettingNumber("  12.5V"), 12.5f);
  EXPECT_FLOAT_EQ(ParseSettingNumber("1.0"), 1.0f);
  EXPECT_FLOAT_EQ(ParseSettingNumber("+3.3,5"), 3.3f);
  EXPECT_FLOAT_EQ(ParseSettingNumber("1e2x"), 100.0f);
  EXPECT_FLOAT_EQ(ParseSettingNumber("2e"), 2.0f);  // a bare exponent mark is not part of it
  // Only decimal forms: no hexadecimal, infinity or not-a-number.
  EXPECT_EQ(ParseSettingNumber("0x1F"), 0.0f);
  EXPECT_EQ(ParseSettingNumber("inf"), 0.0f);
  EXPECT_EQ(ParseSettingNumber("nan"), 0.0f);
}

TEST(ParseSettingNumber, ClampsBeyondTheFloatRangeInsteadOfOverflowing) {
  EXPECT_EQ(ParseSettingNumber("1e39"), FLT_MAX);
  EXPECT_EQ(ParseSettingNumber("-1e999"), -FLT_MAX);
  EXPECT_EQ(ParseSettingNumber("1e-999"), 0.0f);
  EXPECT_EQ(ParseSettingNumber("123456789012345678901234567890"), 1.2345679e29f);
}

TEST(StrictToInt, AcceptsSignedDecimalDigitsWithSurroundingBlanks) {
  EXPECT_EQ(StrictToInt("604"), 604);
  EXPECT_EQ(StrictToInt(" -12 "), -12);
  EXPECT_EQ(StrictToInt("+0"), 0);
  EXPECT_EQ(StrictToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrictToInt("-2147483648"), -2147483647 - 1);
}

TEST(StrictToInt, RefusesEverythingElseWithTheFrameworkMessage) {
  for (const char* bad : {"", " ", "1.0", "abc", "12a", "-", "0x10", "1 2", "2147483648",
                          "-2147483649", "99999999999999999999"}) {
    EXPECT_THROW(StrictToInt(bad), ConversionError) << bad;
  }
  try {
    StrictToInt("abc");
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'abc' is not a valid integer value");
  }
}

TEST(FixedText, WritesTheGivenDecimalsWithAPointWhateverTheLocale) {
  EXPECT_EQ(FixedText(450, 2), "450.00");
  EXPECT_EQ(FixedText(12.0f, 2), "12.00");
  EXPECT_EQ(FixedText(3.3f, 2), "3.30");
  EXPECT_EQ(FixedText(1234567.891, 2), "1234567.89");
  EXPECT_EQ(FixedText(-11.96, 1), "-12.0");
  EXPECT_EQ(FixedText(-0.001, 2), "0.00");
  EXPECT_EQ(FixedText(7, 0), "7");
}

}  // namespace
}  // namespace core
