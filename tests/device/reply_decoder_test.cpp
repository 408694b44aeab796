#include "device/reply_decoder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace device {
namespace {

// A reply from its hex text: "00 C2 00 ..." (report id first).
InputReport Hex(const std::string& text) {
  InputReport reply{};
  std::istringstream in(text);
  for (auto& byte : reply) {
    unsigned value = 0;
    in >> std::hex >> value;
    byte = static_cast<std::uint8_t>(value);
  }
  return reply;
}

ReadingSet WithReference() {
  ReadingSet r;
  EXPECT_TRUE(DecodeReference(Hex("00 80 00 00 00 00 00 00 00"), r));
  return r;
}

TEST(ReplyDecoder, FirstVoltageReplyCarriesFiveVoltsThreeVoltsStandbyAndTwelveVoltFour) {
  ReadingSet r = WithReference();
  DecodeVoltagesA(Hex("00 C2 00 80 00 C0 80 BA 40"), r);
  EXPECT_NEAR(r.Vol5V, 5.0015625, 1e-5);  // raw 776 of 1024 steps of 6.6 V
  EXPECT_FLOAT_EQ(r.Vol33V, 3.3f);
  EXPECT_NEAR(r.Vol5Vsb, 4.9628906, 1e-5);   // raw 770
  EXPECT_NEAR(r.Vol12V4, 12.0043945, 1e-5);  // raw 745 of 1024 steps of 16.5 V
  EXPECT_EQ(r.Vol12V1, 0.0f);                // the second reply's fields are untouched
}

TEST(ReplyDecoder, SecondVoltageReplyEndsWithTheNegativeRail) {
  ReadingSet r = WithReference();
  DecodeVoltagesB(Hex("00 BA 40 80 00 FF C0 94 00"), r);
  EXPECT_NEAR(r.Vol12V1, 12.0043945, 1e-5);  // raw 745
  EXPECT_FLOAT_EQ(r.Vol12V2, 8.25f);
  EXPECT_NEAR(r.Vol12V3, 16.4838867, 1e-5);    // raw 1023, the top
  EXPECT_NEAR(r.VolNeg12V, -12.014f, 0.001f);  // raw 592
}

TEST(ReplyDecoder, CurrentsSkipD3AndD7AndUseTheirChannelsCalibration) {
  CalibrationTable calibration;
  DecodeCurrentOffsets(Hex("00 01 02 03 04 05 06 FF FF"), calibration);
  DecodeCurrentGains(Hex("00 09 0A 0B 0C 0D 0E FF FF"), calibration);
  for (std::size_t k = 0; k < kCurrentChannelCount; ++k) {
    EXPECT_EQ(calibration.channels[k].Offset, static_cast<float>(k + 1));
    EXPECT_EQ(calibration.channels[k].Gain, 1.0f);  // (g - offset) / 8
  }
  ReadingSet r;
  DecodeCurrents(Hex("00 11 12 FF 13 14 15 FF 16"), calibration, r);
  EXPECT_EQ(r.Cur5V, 0x11 - 1);
  EXPECT_EQ(r.Cur33V, 0x12 - 2);
  EXPECT_EQ(r.Cur12V1, 0x13 - 3);  // byte d4 belongs to calibration channel 3
  EXPECT_EQ(r.Cur12V2, 0x14 - 4);
  EXPECT_EQ(r.Cur12V3, 0x15 - 5);
  EXPECT_EQ(r.Cur12V4, 0x16 - 6);  // byte d8 belongs to calibration channel 6
}

TEST(ReplyDecoder, FansAndTemperaturesComeFromTheirOwnBytes) {
  ReadingSet r;
  DecodeFans(Hex("00 0A 00 00 00 FF FF FF FF"), r);
  EXPECT_NEAR(r.FanPSU, 549.32f, 0.01f);
  EXPECT_EQ(r.FanSystem, 0.0f);
  DecodeSensorTemps(Hex("00 1C FF 1F FF 23 FF 1A FF"), r);
  EXPECT_EQ(r.TempT1, 28.0f);
  EXPECT_EQ(r.TempT2, 31.0f);
  EXPECT_EQ(r.TempT3, 35.0f);
  EXPECT_EQ(r.TempT4, 26.0f);
  DecodePsuTemp(Hex("00 29 FF FF FF FF FF FF FF"), r);
  EXPECT_EQ(r.TempPSU, 41.0f);
}

TEST(ReplyDecoder, ReferenceOfZeroIsRefusedAndKeepsThePreviousValue) {
  ReadingSet r = WithReference();
  EXPECT_FALSE(DecodeReference(Hex("00 00 00 00 00 00 00 00 00"), r));
  EXPECT_FLOAT_EQ(r.ReferenceVoltage, 3.3f);
}

}  // namespace
}  // namespace device
