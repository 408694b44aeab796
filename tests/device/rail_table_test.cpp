#include "device/rail_table.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "device/reading_fields.h"

namespace device {
namespace {

// A property of every rail, in table order, one word each ("-" for an empty one).
template <typename Get>
std::string Each(Get get) {
  std::string out;
  for (const Rail& rail : kRails) {
    const std::string word(get(rail));
    out += (out.empty() ? "" : " ") + (word.empty() ? std::string("-") : word);
  }
  return out;
}

TEST(RailTable, RailsAreListedAsTheStatusTableAndTheDetailWindowsListThem) {
  EXPECT_EQ(Each([](const Rail& r) { return r.shown; }), "12V1 12V2 12V3 12V4 5V 3.3V 5Vsb -12V");
  EXPECT_EQ(Each([](const Rail& r) { return r.key; }), "12V1 12V2 12V3 12V4 5V 33V 5Vsb Neg12V");
  EXPECT_EQ(Each([](const Rail& r) { return r.voltageField; }),
            "Vol12V1 Vol12V2 Vol12V3 Vol12V4 Vol5V Vol33V Vol5Vsb VolNeg12V");
  // 5Vsb and -12V carry no current, and so no current alarm.
  EXPECT_EQ(Each([](const Rail& r) { return r.currentField; }),
            "Cur12V1 Cur12V2 Cur12V3 Cur12V4 Cur5V Cur33V - -");
  EXPECT_EQ(Each([](const Rail& r) { return r.alarmCurrentKey; }),
            "12V1 12V2 12V3 12V4 5V 33V - -");
  // The four 12 V rails share one voltage threshold; 5Vsb and -12V have none.
  EXPECT_EQ(Each([](const Rail& r) { return r.alarmVoltageKey; }), "12V 12V 12V 12V 5V 33V - -");
  for (std::size_t i = 0; i < kRails.size(); ++i) EXPECT_EQ(&RailOf(kRails[i].id), &kRails[i]);
}

TEST(RailTable, EachRailReadsItsOwnVoltageAndCurrent) {
  // Values that differ per member, so a swapped pointer shows.
  ReadingSet r;
  r.Vol12V1 = 12.1f;
  r.Vol12V2 = 12.2f;
  r.Vol12V3 = 12.3f;
  r.Vol12V4 = 12.4f;
  r.Vol5V = 5.1f;
  r.Vol33V = 3.31f;
  r.Vol5Vsb = 5.02f;
  r.VolNeg12V = -11.9f;
  r.Cur12V1 = 1.0f;
  r.Cur12V2 = 2.0f;
  r.Cur12V3 = 3.0f;
  r.Cur12V4 = 4.0f;
  r.Cur5V = 5.0f;
  r.Cur33V = 6.0f;
  const float volts[] = {12.1f, 12.2f, 12.3f, 12.4f, 5.1f, 3.31f, 5.02f, -11.9f};
  const float amps[] = {1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f};
  for (std::size_t i = 0; i < kRails.size(); ++i) {
    EXPECT_EQ(r.*kRails[i].volts, volts[i]) << kRails[i].key;
    if (i < std::size(amps)) {
      ASSERT_NE(kRails[i].amps, nullptr) << kRails[i].key;
      EXPECT_EQ(r.*kRails[i].amps, amps[i]) << kRails[i].key;
    } else {
      EXPECT_EQ(kRails[i].amps, nullptr) << kRails[i].key;
    }
  }
}

TEST(RailTable, EachWindowIsItsNominalPlusOrMinusFivePerCent) {
  // 12 V: 11.4 .. 12.6; 5 V: 4.75 .. 5.25; 3.3 V: 3.135 .. 3.465; -12 V by its magnitude.
  const double nominals[] = {12.0, 12.0, 12.0, 12.0, 5.0, 3.3, 5.0, 12.0};
  const float lows[] = {11.4f, 11.4f, 11.4f, 11.4f, 4.75f, 3.135f, 4.75f, 11.4f};
  const float highs[] = {12.6f, 12.6f, 12.6f, 12.6f, 5.25f, 3.465f, 5.25f, 12.6f};
  for (std::size_t i = 0; i < kRails.size(); ++i) {
    EXPECT_DOUBLE_EQ(kRails[i].nominal, nominals[i]) << kRails[i].key;
    EXPECT_FLOAT_EQ(kRails[i].window.low, lows[i]) << kRails[i].key;
    EXPECT_FLOAT_EQ(kRails[i].window.high, highs[i]) << kRails[i].key;
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
