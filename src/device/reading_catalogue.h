#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "device/reading_set.h"

namespace device {

// Every fact the program keeps about a reading sits in its one row of kReadings below: where
// the controller sends it, how it is decoded, its unit, the alarm that watches it and the
// names it goes by. Everything that lists readings walks this table.

// The rails of the PSU, in the order the status table and the detail windows list them.
enum class RailId : std::size_t { R12V1, R12V2, R12V3, R12V4, R5V, R33V, R5Vsb, RNeg12V };
inline constexpr std::size_t kRailCount = 8;
inline constexpr RailId kNoRail = static_cast<RailId>(kRailCount);

enum class ReadingKind { Reference, Voltage, Current, Temperature, Fan, Power };

// The reply a reading arrives in; power is worked out from the rails instead.
enum class ReadingReply {
  Reference,
  VoltagesA,
  VoltagesB,
  Currents,
  SensorTemps,
  PsuTemp,
  Fans,
  None
};

// How the reply's bytes become the reading.
enum class ReadingDecoder {
  Reference,     // ten-bit word at the slot, the reference itself
  LowRail,       // ten-bit word scaled by the reference through the 1:2 divider
  HighRail,      // ten-bit word through the 1:5 divider
  NegativeRail,  // ten-bit word through the inverting stage
  Current,       // one byte through the calibration channel
  Temperature,   // one byte, whole degrees Celsius
  Fan,           // a byte pair, revolutions per minute
  Sum            // the rails' volts times amps
};

// The watched readings, in the order they are evaluated, blinked, told and printed.
enum class AlarmRow : std::size_t {
  Watt,
  PSUFan,
  SystemFan,
  Vol5V,
  Vol33V,
  Vol12V1,
  Vol12V2,
  Vol12V3,
  Vol12V4,
  Cur5V,
  Cur33V,
  Cur12V1,
  Cur12V2,
  Cur12V3,
  Cur12V4,
  TempPSU,
  TempT1,
  TempT2,
  TempT3,
  TempT4,
};
inline constexpr std::size_t kAlarmRowCount = 20;
inline constexpr AlarmRow kNoAlarmRow = static_cast<AlarmRow>(kAlarmRowCount);

// When a watched reading is in alarm, given its threshold and switch.
enum class AlarmRule {
  None,
  Above,        // above the threshold while switched on
  Below,        // below the threshold while switched on
  OutsideBand,  // on or outside the band the threshold draws about the rail's nominal
  PowerAbove    // above the threshold, only while the monitor page shows and power is not muted
};

// The alarm settings group a threshold is stored under, by its key name below the alarm key.
inline constexpr std::string_view kWattGroup = "Watt";
inline constexpr std::string_view kVoltageGroup = "Voltage";
inline constexpr std::string_view kCurrentGroup = "Current";
inline constexpr std::string_view kFanSpeedGroup = "FanSpeed";
inline constexpr std::string_view kTemperatureGroup = "Temperature";

inline constexpr std::size_t kNoChannel = 6;

struct Reading {
  std::string_view name;  // in JSON, the record, the hand-over lines and the skin: "Cur12V4"
  float ReadingSet::*field;
  ReadingKind kind;
  ReadingReply reply;
  std::size_t slot;  // the data byte it starts at (1 = d1)
  ReadingDecoder decoder;
  std::size_t channel;  // calibration channel of a current, else kNoChannel
  RailId rail;          // the rail of a voltage or current, else kNoRail
  std::string_view unit;
  AlarmRow row;  // kNoAlarmRow for a reading no alarm watches
  AlarmRule rule;
  std::string_view rowName;        // quelta-ctl's name of the alarm row: "Cur12V4", "12V4", "T1"
  std::string_view settingsGroup;  // where its threshold is stored: "Current"
  std::string_view
      settingsKey;         // the threshold's value name there: "12V4" (12 V rails share "12V")
  std::string_view words;  // how a notification names it: "12V4 current"
  int decimals;            // of the reading in a notification
  std::string_view skinKey = {};  // the alarm page's name, where it is not the settings key
};

// The alarm page names a threshold's display, switch and records after this: "12V", "PSU".
constexpr std::string_view AlarmSkinKey(const Reading& r) {
  return r.skinKey.empty() ? r.settingsKey : r.skinKey;
}

inline constexpr std::size_t kReadingCount = 23;

namespace catalogue_rows {
using K = ReadingKind;
using P = ReadingReply;
using D = ReadingDecoder;
using R = AlarmRule;
using A = AlarmRow;
using S = ReadingSet;
inline constexpr std::string_view kVolts = "V", kAmps = "A", kRpm = "rpm", kWatts = "W";
inline constexpr std::string_view kCelsius = "\u00B0C";

// In the order of ReadingSet: the voltages by reply slot, the currents by calibration channel.
inline constexpr std::array<Reading, kReadingCount> kRows{{
    {"ReferenceVoltage", &S::ReferenceVoltage, K::Reference, P::Reference, 1, D::Reference,
     kNoChannel, kNoRail, kVolts, kNoAlarmRow, R::None, "", "", "", "", 0},
    {"Vol5V", &S::Vol5V, K::Voltage, P::VoltagesA, 1, D::LowRail, kNoChannel, RailId::R5V, kVolts,
     A::Vol5V, R::OutsideBand, "5V", kVoltageGroup, "5V", "5V", 2},
    {"Vol33V", &S::Vol33V, K::Voltage, P::VoltagesA, 3, D::LowRail, kNoChannel, RailId::R33V,
     kVolts, A::Vol33V, R::OutsideBand, "33V", kVoltageGroup, "33V", "3.3V", 2},
    {"Vol5Vsb", &S::Vol5Vsb, K::Voltage, P::VoltagesA, 5, D::LowRail, kNoChannel, RailId::R5Vsb,
     kVolts, kNoAlarmRow, R::None, "", "", "", "", 0},
    {"Vol12V4", &S::Vol12V4, K::Voltage, P::VoltagesA, 7, D::HighRail, kNoChannel, RailId::R12V4,
     kVolts, A::Vol12V4, R::OutsideBand, "12V4", kVoltageGroup, "12V", "12V4", 2},
    {"Vol12V1", &S::Vol12V1, K::Voltage, P::VoltagesB, 1, D::HighRail, kNoChannel, RailId::R12V1,
     kVolts, A::Vol12V1, R::OutsideBand, "12V1", kVoltageGroup, "12V", "12V1", 2},
    {"Vol12V2", &S::Vol12V2, K::Voltage, P::VoltagesB, 3, D::HighRail, kNoChannel, RailId::R12V2,
     kVolts, A::Vol12V2, R::OutsideBand, "12V2", kVoltageGroup, "12V", "12V2", 2},
    {"Vol12V3", &S::Vol12V3, K::Voltage, P::VoltagesB, 5, D::HighRail, kNoChannel, RailId::R12V3,
     kVolts, A::Vol12V3, R::OutsideBand, "12V3", kVoltageGroup, "12V", "12V3", 2},
    {"VolNeg12V", &S::VolNeg12V, K::Voltage, P::VoltagesB, 7, D::NegativeRail, kNoChannel,
     RailId::RNeg12V, kVolts, kNoAlarmRow, R::None, "", "", "", "", 0},
    // The current reply carries no channel in d3 and d7.
    {"Cur5V", &S::Cur5V, K::Current, P::Currents, 1, D::Current, 0, RailId::R5V, kAmps, A::Cur5V,
     R::Above, "Cur5V", kCurrentGroup, "5V", "5V current", 2},
    {"Cur33V", &S::Cur33V, K::Current, P::Currents, 2, D::Current, 1, RailId::R33V, kAmps,
     A::Cur33V, R::Above, "Cur33V", kCurrentGroup, "33V", "3.3V current", 2},
    {"Cur12V1", &S::Cur12V1, K::Current, P::Currents, 4, D::Current, 2, RailId::R12V1, kAmps,
     A::Cur12V1, R::Above, "Cur12V1", kCurrentGroup, "12V1", "12V1 current", 2},
    {"Cur12V2", &S::Cur12V2, K::Current, P::Currents, 5, D::Current, 3, RailId::R12V2, kAmps,
     A::Cur12V2, R::Above, "Cur12V2", kCurrentGroup, "12V2", "12V2 current", 2},
    {"Cur12V3", &S::Cur12V3, K::Current, P::Currents, 6, D::Current, 4, RailId::R12V3, kAmps,
     A::Cur12V3, R::Above, "Cur12V3", kCurrentGroup, "12V3", "12V3 current", 2},
    {"Cur12V4", &S::Cur12V4, K::Current, P::Currents, 8, D::Current, 5, RailId::R12V4, kAmps,
     A::Cur12V4, R::Above, "Cur12V4", kCurrentGroup, "12V4", "12V4 current", 2},
    {"TempT1", &S::TempT1, K::Temperature, P::SensorTemps, 1, D::Temperature, kNoChannel, kNoRail,
     kCelsius, A::TempT1, R::Above, "T1", kTemperatureGroup, "T1", "T1", 1},
    {"TempT2", &S::TempT2, K::Temperature, P::SensorTemps, 3, D::Temperature, kNoChannel, kNoRail,
     kCelsius, A::TempT2, R::Above, "T2", kTemperatureGroup, "T2", "T2", 1},
    {"TempT3", &S::TempT3, K::Temperature, P::SensorTemps, 5, D::Temperature, kNoChannel, kNoRail,
     kCelsius, A::TempT3, R::Above, "T3", kTemperatureGroup, "T3", "T3", 1},
    {"TempT4", &S::TempT4, K::Temperature, P::SensorTemps, 7, D::Temperature, kNoChannel, kNoRail,
     kCelsius, A::TempT4, R::Above, "T4", kTemperatureGroup, "T4", "T4", 1},
    {"TempPSU", &S::TempPSU, K::Temperature, P::PsuTemp, 1, D::Temperature, kNoChannel, kNoRail,
     kCelsius, A::TempPSU, R::Above, "TempPSU", kTemperatureGroup, "PSU", "PSU temperature", 1},
    {"FanPSU", &S::FanPSU, K::Fan, P::Fans, 1, D::Fan, kNoChannel, kNoRail, kRpm, A::PSUFan,
     R::Below, "PSUFan", kFanSpeedGroup, "PSUFan", "PSU fan", 0, "PSU"},
    {"FanSystem", &S::FanSystem, K::Fan, P::Fans, 3, D::Fan, kNoChannel, kNoRail, kRpm,
     A::SystemFan, R::Below, "SystemFan", kFanSpeedGroup, "SystemFan", "system fan", 0},
    {"WattTotal", &S::WattTotal, K::Power, P::None, 0, D::Sum, kNoChannel, kNoRail, kWatts, A::Watt,
     R::PowerAbove, "Watt", kWattGroup, "Watt", "power", 2, "Total"},
}};
}  // namespace catalogue_rows

inline constexpr const std::array<Reading, kReadingCount>& kReadings = catalogue_rows::kRows;

// The readings whose `field` holds `value`, in table order.
template <auto Reading::*field, auto value>
constexpr auto ReadingsWhere() {
  constexpr std::size_t count = [] {
    std::size_t n = 0;
    for (const Reading& r : kReadings) n += r.*field == value ? 1 : 0;
    return n;
  }();
  std::array<const Reading*, count> out{};
  std::size_t at = 0;
  for (const Reading& r : kReadings)
    if (r.*field == value) out[at++] = &r;
  return out;
}

// The readings a reply carries, in slot order.
template <ReadingReply reply>
constexpr auto ReadingsOf() {
  return ReadingsWhere<&Reading::reply, reply>();
}

// The readings of one kind, in table order.
template <ReadingKind kind>
constexpr auto ReadingsOfKind() {
  return ReadingsWhere<&Reading::kind, kind>();
}

// The watched readings by alarm row.
inline constexpr std::array<const Reading*, kAlarmRowCount> kAlarmRows = [] {
  std::array<const Reading*, kAlarmRowCount> out{};
  for (const Reading& r : kReadings)
    if (r.row != kNoAlarmRow) out[static_cast<std::size_t>(r.row)] = &r;
  return out;
}();

constexpr const Reading& ReadingOf(AlarmRow row) {
  return *kAlarmRows[static_cast<std::size_t>(row)];
}

// The table is checked where it is written: every alarm row is watched by one reading with a
// rule, every current has its own channel, and every reply slot is used once.
constexpr bool ReadingCatalogueConsistent() {
  std::array<int, kAlarmRowCount> rows{};
  std::array<int, kNoChannel> channels{};
  for (std::size_t i = 0; i < kReadings.size(); ++i) {
    const Reading& r = kReadings[i];
    if ((r.row == kNoAlarmRow) != (r.rule == AlarmRule::None)) return false;
    if (r.row != kNoAlarmRow) ++rows[static_cast<std::size_t>(r.row)];
    if ((r.kind == ReadingKind::Current) != (r.channel != kNoChannel)) return false;
    if (r.channel != kNoChannel) ++channels[r.channel];
    for (std::size_t j = 0; j < i; ++j)
      if (kReadings[j].reply == r.reply && kReadings[j].slot == r.slot) return false;
  }
  for (const int n : rows)
    if (n != 1) return false;
  for (const int n : channels)
    if (n != 1) return false;
  return true;
}
static_assert(ReadingCatalogueConsistent(), "every alarm row, channel and slot needs one reading");

}  // namespace device
