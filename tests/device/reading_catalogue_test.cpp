// The reading catalogue against rows typed in from the controller's protocol and the alarm
// page, a few readings of each kind, and the orders everything that walks it relies on.
#include "device/reading_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace device {
namespace {

const Reading* Find(std::string_view name) {
  for (const Reading& r : kReadings)
    if (r.name == name) return &r;
  return nullptr;
}

void ExpectRow(const Reading& want) {
  SCOPED_TRACE(want.name);
  const Reading* got = Find(want.name);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(got->field, want.field);
  EXPECT_EQ(got->kind, want.kind);
  EXPECT_EQ(got->reply, want.reply);
  EXPECT_EQ(got->slot, want.slot);
  EXPECT_EQ(got->decoder, want.decoder);
  EXPECT_EQ(got->channel, want.channel);
  EXPECT_EQ(got->rail, want.rail);
  EXPECT_EQ(got->unit, want.unit);
  EXPECT_EQ(got->row, want.row);
  EXPECT_EQ(got->rule, want.rule);
  EXPECT_EQ(got->rowName, want.rowName);
  EXPECT_EQ(got->settingsGroup, want.settingsGroup);
  EXPECT_EQ(got->settingsKey, want.settingsKey);
  EXPECT_EQ(got->words, want.words);
  EXPECT_EQ(got->decimals, want.decimals);
}

using K = ReadingKind;
using P = ReadingReply;
using D = ReadingDecoder;
using R = AlarmRule;
using S = ReadingSet;

TEST(ReadingCatalogue, VoltagesComeFromTheirWordAndShareOneTwelveVoltThreshold) {
  // 0x21: 5V d1 d2, 3.3V d3 d4, 5Vsb d5 d6, 12V4 d7 d8; 0x22: 12V1, 12V2, 12V3, -12V.
  ExpectRow({"Vol33V", &S::Vol33V, K::Voltage, P::VoltagesA, 3, D::LowRail, kNoChannel,
             RailId::R33V, "V", AlarmRow::Vol33V, R::OutsideBand, "33V", "Voltage", "33V", "3.3V",
             2});
  ExpectRow({"Vol12V4", &S::Vol12V4, K::Voltage, P::VoltagesA, 7, D::HighRail, kNoChannel,
             RailId::R12V4, "V", AlarmRow::Vol12V4, R::OutsideBand, "12V4", "Voltage", "12V",
             "12V4", 2});
  ExpectRow({"VolNeg12V", &S::VolNeg12V, K::Voltage, P::VoltagesB, 7, D::NegativeRail, 6,
             RailId::RNeg12V, "V", kNoAlarmRow, R::None, "", "", "", "", 0});
}

TEST(ReadingCatalogue, CurrentsSkipD3AndD7AndGoThroughTheirOwnChannel) {
  ExpectRow({"Cur5V", &S::Cur5V, K::Current, P::Currents, 1, D::Current, 0, RailId::R5V, "A",
             AlarmRow::Cur5V, R::Above, "Cur5V", "Current", "5V", "5V current", 2});
  ExpectRow({"Cur33V", &S::Cur33V, K::Current, P::Currents, 2, D::Current, 1, RailId::R33V, "A",
             AlarmRow::Cur33V, R::Above, "Cur33V", "Current", "33V", "3.3V current", 2});
  ExpectRow({"Cur12V4", &S::Cur12V4, K::Current, P::Currents, 8, D::Current, 5, RailId::R12V4, "A",
             AlarmRow::Cur12V4, R::Above, "Cur12V4", "Current", "12V4", "12V4 current", 2});
}

TEST(ReadingCatalogue, TemperaturesAlarmAboveAndThePsuSensorHasItsOwnReply) {
  ExpectRow({"TempT1", &S::TempT1, K::Temperature, P::SensorTemps, 1, D::Temperature, kNoChannel,
             kNoRail, "\u00B0C", AlarmRow::TempT1, R::Above, "T1", "Temperature", "T1", "T1", 1});
  ExpectRow({"TempT4", &S::TempT4, K::Temperature, P::SensorTemps, 7, D::Temperature, kNoChannel,
             kNoRail, "\u00B0C", AlarmRow::TempT4, R::Above, "T4", "Temperature", "T4", "T4", 1});
  ExpectRow({"TempPSU", &S::TempPSU, K::Temperature, P::PsuTemp, 1, D::Temperature, kNoChannel,
             kNoRail, "\u00B0C", AlarmRow::TempPSU, R::Above, "TempPSU", "Temperature", "PSU",
             "PSU temperature", 1});
}

TEST(ReadingCatalogue, FansAlarmBelowAndPowerOnlyOnTheMonitorPage) {
  ExpectRow({"FanPSU", &S::FanPSU, K::Fan, P::Fans, 1, D::Fan, kNoChannel, kNoRail, "rpm",
             AlarmRow::PSUFan, R::Below, "PSUFan", "FanSpeed", "PSUFan", "PSU fan", 0});
  ExpectRow({"FanSystem", &S::FanSystem, K::Fan, P::Fans, 3, D::Fan, kNoChannel, kNoRail, "rpm",
             AlarmRow::SystemFan, R::Below, "SystemFan", "FanSpeed", "SystemFan", "system fan", 0});
  ExpectRow({"WattTotal", &S::WattTotal, K::Power, P::None, 0, D::Sum, kNoChannel, kNoRail, "W",
             AlarmRow::Watt, R::PowerAbove, "Watt", "Watt", "Watt", "power", 2});
  ExpectRow({"ReferenceVoltage", &S::ReferenceVoltage, K::Reference, P::Reference, 1, D::Reference,
             kNoChannel, kNoRail, "V", kNoAlarmRow, R::None, "", "", "", "", 0});
}

// A property of a list of readings, one word each.
template <typename List, typename Get>
std::string Each(const List& list, Get get) {
  std::string out;
  for (const Reading* r : list) out += (out.empty() ? "" : " ") + std::string(get(*r));
  return out;
}

TEST(ReadingCatalogue, ListsComeInTheOrdersTheOutputsPrintThem) {
  const auto name = [](const Reading& r) { return r.name; };
  // Every output and the record list the readings as ReadingSet declares them.
  std::string all;
  for (const Reading& r : kReadings) all += (all.empty() ? "" : " ") + std::string(r.name);
  EXPECT_EQ(all,
            "ReferenceVoltage Vol5V Vol33V Vol5Vsb Vol12V4 Vol12V1 Vol12V2 Vol12V3 VolNeg12V "
            "Cur5V Cur33V Cur12V1 Cur12V2 Cur12V3 Cur12V4 TempT1 TempT2 TempT3 TempT4 TempPSU "
            "FanPSU FanSystem WattTotal");
  EXPECT_EQ(Each(kAlarmRows, [](const Reading& r) { return r.rowName; }),
            "Watt PSUFan SystemFan 5V 33V 12V1 12V2 12V3 12V4 Cur5V Cur33V Cur12V1 Cur12V2 "
            "Cur12V3 Cur12V4 TempPSU T1 T2 T3 T4");
  EXPECT_EQ(Each(ReadingsOf<ReadingReply::VoltagesB>(), name), "Vol12V1 Vol12V2 Vol12V3 VolNeg12V");
  EXPECT_EQ(Each(ReadingsOf<ReadingReply::SensorTemps>(), name), "TempT1 TempT2 TempT3 TempT4");
  EXPECT_EQ(Each(ReadingsOfKind<ReadingKind::Fan>(), name), "FanPSU FanSystem");
  for (std::size_t i = 0; i < kAlarmRowCount; ++i) {
    EXPECT_EQ(static_cast<std::size_t>(ReadingOf(static_cast<AlarmRow>(i)).row), i);
  }
}

}  // namespace
}  // namespace device
