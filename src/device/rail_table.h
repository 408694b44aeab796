#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "device/reading_catalogue.h"
#include "device/reading_set.h"

namespace device {

// The rails with a current, each with its calibration channel.
inline constexpr std::size_t kCurrentRailCount = 6;

// The two voltage replies: 0x21 carries 5V, 3.3V, 5Vsb and 12V4; 0x22 the other four.
enum class VoltageReply { First, Second };

// A rail's normal output, the range of its bar on the monitor page.
struct RailWindow {
  float low = 0.0f;
  float high = 0.0f;
};

// Everything the program knows about one rail; what it knows about the rail's readings comes
// from the reading catalogue.
struct Rail {
  RailId id;
  std::string_view key;    // in settings, skin records and button names: "12V1", "33V", "Neg12V"
  std::string_view shown;  // in the status table: "12V1", "3.3V", "-12V"
  double nominal;          // volts as displays show them: the -12 V rail by magnitude
  RailWindow window;
  std::string_view voltageField = {};  // JSON and hand-over name of its voltage: "Vol12V1"
  float ReadingSet::*volts = nullptr;
  std::size_t voltageSlot = 0;  // position among the voltages in reply order (0x21, then 0x22)
  VoltageReply reply = VoltageReply::First;
  std::string_view currentField = {};     // "Cur12V1"; empty for a rail without a current reading
  float ReadingSet::*amps = nullptr;      // null for a rail without a current reading
  std::size_t currentChannel = 0;         // calibration channel, and position among the currents
  std::string_view alarmVoltageKey = {};  // its threshold under Alarm\Voltage ("12V"); "" for none
  std::string_view alarmCurrentKey = {};  // its threshold under Alarm\Current ("12V1"); "" for none
};

inline constexpr std::size_t kNoCurrent = kCurrentRailCount;
inline constexpr RailWindow kWindow12V{11.4f, 12.6f};
inline constexpr RailWindow kWindow5V{4.75f, 5.25f};
inline constexpr RailWindow kWindow33V{3.135f, 3.465f};

// A rail row completed from the catalogue's voltage and current of that rail.
constexpr Rail WithReadings(Rail rail) {
  rail.currentChannel = kNoCurrent;
  std::size_t voltageSlot = 0;
  for (const Reading& r : kReadings) {
    const bool mine = r.rail == rail.id;
    if (r.kind == ReadingKind::Voltage && mine) {
      rail.voltageField = r.name;
      rail.volts = r.field;
      rail.voltageSlot = voltageSlot;
      rail.reply = r.reply == ReadingReply::VoltagesA ? VoltageReply::First : VoltageReply::Second;
      rail.alarmVoltageKey = r.settingsKey;
    } else if (r.kind == ReadingKind::Current && mine) {
      rail.currentField = r.name;
      rail.amps = r.field;
      rail.currentChannel = r.channel;
      rail.alarmCurrentKey = r.settingsKey;
    }
    if (r.kind == ReadingKind::Voltage) ++voltageSlot;
  }
  return rail;
}

inline constexpr std::array<Rail, kRailCount> kRails{{
    WithReadings({RailId::R12V1, "12V1", "12V1", 12.0, kWindow12V}),
    WithReadings({RailId::R12V2, "12V2", "12V2", 12.0, kWindow12V}),
    WithReadings({RailId::R12V3, "12V3", "12V3", 12.0, kWindow12V}),
    WithReadings({RailId::R12V4, "12V4", "12V4", 12.0, kWindow12V}),
    WithReadings({RailId::R5V, "5V", "5V", 5.0, kWindow5V}),
    WithReadings({RailId::R33V, "33V", "3.3V", 3.3, kWindow33V}),
    WithReadings({RailId::R5Vsb, "5Vsb", "5Vsb", 5.0, kWindow5V}),
    WithReadings({RailId::RNeg12V, "Neg12V", "-12V", 12.0, kWindow12V}),
}};

constexpr const Rail& RailOf(RailId id) {
  return kRails[static_cast<std::size_t>(id)];
}

// The rails in reply order of their voltages.
constexpr std::array<const Rail*, kRailCount> RailsByVoltageSlot() {
  std::array<const Rail*, kRailCount> out{};
  for (const Rail& rail : kRails) out[rail.voltageSlot] = &rail;
  return out;
}

// The rails with a current, by calibration channel (5V, 3.3V, 12V1 .. 12V4).
constexpr std::array<const Rail*, kCurrentRailCount> RailsByCurrentChannel() {
  std::array<const Rail*, kCurrentRailCount> out{};
  for (const Rail& rail : kRails)
    if (rail.amps != nullptr) out[rail.currentChannel] = &rail;
  return out;
}

// The table is checked where it is written: ids match rows, reply slots and channels are each
// used once, and a rail has a current exactly when it names one.
constexpr bool RailTableConsistent() {
  std::array<bool, kRailCount> usedSlots{};
  std::array<bool, kCurrentRailCount + 1> channels{};
  for (std::size_t i = 0; i < kRails.size(); ++i) {
    const Rail& rail = kRails[i];
    if (static_cast<std::size_t>(rail.id) != i || rail.volts == nullptr ||
        rail.voltageSlot >= kRailCount || usedSlots[rail.voltageSlot])
      return false;
    usedSlots[rail.voltageSlot] = true;
    const bool hasCurrent = rail.amps != nullptr;
    if (hasCurrent != !rail.currentField.empty() ||
        hasCurrent == (rail.currentChannel == kNoCurrent))
      return false;
    if (hasCurrent && channels[rail.currentChannel]) return false;
    channels[rail.currentChannel] = true;
  }
  return std::count(channels.begin(), channels.end(), true) == kCurrentRailCount + 1;
}
static_assert(RailTableConsistent(), "every rail needs its own reply slot and channel");

}  // namespace device
