#include "device/rail_table.h"

#include <gtest/gtest.h>

#include <string_view>

#include "device/reading_fields.h"

namespace device {
namespace {

// Each rail as the outputs and the settings name it. The windows are nominal ± 5 % (± 0.6 V on
// 12 V, ± 0.25 V on 5 V, ± 0.165 V on 3.3 V); the -12 V rail is shown by its magnitude.
struct ExpectedRail {
  RailId id;
  std::string_view key, shown, voltageField;
  float ReadingSet::*volts;
  VoltageReply reply;
  std::string_view currentField;
  float ReadingSet::*amps;
  double nominal;
  float low, high;
  std::string_view alarmVoltageKey, alarmCurrentKey;
};

constexpr ExpectedRail kExpected[] = {
    {RailId::R12V1, "12V1", "12V1", "Vol12V1", &ReadingSet::Vol12V1, VoltageReply::Second,
     "Cur12V1", &ReadingSet::Cur12V1, 12.0, 11.4f, 12.6f, "12V", "12V1"},
    {RailId::R12V2, "12V2", "12V2", "Vol12V2", &ReadingSet::Vol12V2, VoltageReply::Second,
     "Cur12V2", &ReadingSet::Cur12V2, 12.0, 11.4f, 12.6f, "12V", "12V2"},
    {RailId::R12V3, "12V3", "12V3", "Vol12V3", &ReadingSet::Vol12V3, VoltageReply::Second,
     "Cur12V3", &ReadingSet::Cur12V3, 12.0, 11.4f, 12.6f, "12V", "12V3"},
    {RailId::R12V4, "12V4", "12V4", "Vol12V4", &ReadingSet::Vol12V4, VoltageReply::First, "Cur12V4",
     &ReadingSet::Cur12V4, 12.0, 11.4f, 12.6f, "12V", "12V4"},
    {RailId::R5V, "5V", "5V", "Vol5V", &ReadingSet::Vol5V, VoltageReply::First, "Cur5V",
     &ReadingSet::Cur5V, 5.0, 4.75f, 5.25f, "5V", "5V"},
    {RailId::R33V, "33V", "3.3V", "Vol33V", &ReadingSet::Vol33V, VoltageReply::First, "Cur33V",
     &ReadingSet::Cur33V, 3.3, 3.135f, 3.465f, "33V", "33V"},
    {RailId::R5Vsb, "5Vsb", "5Vsb", "Vol5Vsb", &ReadingSet::Vol5Vsb, VoltageReply::First, "",
     nullptr, 5.0, 4.75f, 5.25f, "", ""},
    {RailId::RNeg12V, "Neg12V", "-12V", "VolNeg12V", &ReadingSet::VolNeg12V, VoltageReply::Second,
     "", nullptr, 12.0, 11.4f, 12.6f, "", ""},
};

TEST(RailTable, EveryRailCarriesItsNamesKeysReplyAndWindow) {
  ASSERT_EQ(std::size(kExpected), kRails.size());
  for (std::size_t i = 0; i < kRails.size(); ++i) {
    const Rail& got = kRails[i];
    const ExpectedRail& want = kExpected[i];
    SCOPED_TRACE(want.key);
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(&RailOf(want.id), &got);
    EXPECT_EQ(got.key, want.key);
    EXPECT_EQ(got.shown, want.shown);
    EXPECT_EQ(got.voltageField, want.voltageField);
    EXPECT_EQ(got.volts, want.volts);
    EXPECT_EQ(got.reply, want.reply);
    EXPECT_EQ(got.currentField, want.currentField);
    EXPECT_EQ(got.amps, want.amps);
    EXPECT_DOUBLE_EQ(got.nominal, want.nominal);
    EXPECT_FLOAT_EQ(got.window.low, want.low);
    EXPECT_FLOAT_EQ(got.window.high, want.high);
    EXPECT_EQ(got.alarmVoltageKey, want.alarmVoltageKey);
    EXPECT_EQ(got.alarmCurrentKey, want.alarmCurrentKey);
  }
}

// 0x21 answers 5V, 3.3V, 5Vsb, 12V4 and 0x22 12V1, 12V2, 12V3, -12V; currents come by
// calibration channel: 5V, 3.3V, 12V1 .. 12V4.
TEST(RailTable, ReplyOrdersFollowTheController) {
  const std::string_view voltages[] = {"Vol5V",   "Vol33V",  "Vol5Vsb", "Vol12V4",
                                       "Vol12V1", "Vol12V2", "Vol12V3", "VolNeg12V"};
  ASSERT_EQ(kVoltageFields.size(), std::size(voltages));
  for (std::size_t i = 0; i < kVoltageFields.size(); ++i) {
    EXPECT_EQ(kVoltageFields[i].name, voltages[i]) << i;
    // The first four come in the first reply.
    const Rail& rail = *RailsByVoltageSlot()[i];
    EXPECT_EQ(rail.reply, i < 4 ? VoltageReply::First : VoltageReply::Second) << i;
  }
  const std::string_view currents[] = {"Cur5V",   "Cur33V",  "Cur12V1",
                                       "Cur12V2", "Cur12V3", "Cur12V4"};
  const std::string_view channels[] = {"5V", "3.3V", "12V1", "12V2", "12V3", "12V4"};
  ASSERT_EQ(kCurrentFields.size(), std::size(currents));
  for (std::size_t k = 0; k < kCurrentFields.size(); ++k) {
    EXPECT_EQ(kCurrentFields[k].name, currents[k]) << k;
    EXPECT_EQ(RailsByCurrentChannel()[k]->shown, channels[k]) << k;
  }
}

}  // namespace
}  // namespace device
