#pragma once

#include <string_view>

#include "device/reading_catalogue.h"
#include "settings/alarm_settings.h"

namespace settings {

// Where AlarmSettings keeps the threshold stored under a catalogue group and value name:
// ("Voltage", "12V") is Voltage12V. Null for the power threshold, which is held apart, and for
// a name the settings do not keep. This is the one place that ties stored names to members.
constexpr AlarmThreshold AlarmSettings::*ThresholdField(std::string_view group,
                                                        std::string_view name) {
  struct Member {
    std::string_view group, name;
    AlarmThreshold AlarmSettings::*field;
  };
  constexpr Member kMembers[] = {
      {device::kVoltageGroup, "12V", &AlarmSettings::Voltage12V},
      {device::kVoltageGroup, "5V", &AlarmSettings::Voltage5V},
      {device::kVoltageGroup, "33V", &AlarmSettings::Voltage33V},
      {device::kCurrentGroup, "5V", &AlarmSettings::Current5V},
      {device::kCurrentGroup, "33V", &AlarmSettings::Current33V},
      {device::kCurrentGroup, "12V1", &AlarmSettings::Current12V1},
      {device::kCurrentGroup, "12V2", &AlarmSettings::Current12V2},
      {device::kCurrentGroup, "12V3", &AlarmSettings::Current12V3},
      {device::kCurrentGroup, "12V4", &AlarmSettings::Current12V4},
      {device::kFanSpeedGroup, "PSUFan", &AlarmSettings::PSUFan},
      {device::kFanSpeedGroup, "SystemFan", &AlarmSettings::SystemFan},
      {device::kTemperatureGroup, "PSU", &AlarmSettings::TempPSU},
      {device::kTemperatureGroup, "T1", &AlarmSettings::TempT1},
      {device::kTemperatureGroup, "T2", &AlarmSettings::TempT2},
      {device::kTemperatureGroup, "T3", &AlarmSettings::TempT3},
      {device::kTemperatureGroup, "T4", &AlarmSettings::TempT4},
  };
  for (const Member& m : kMembers)
    if (m.group == group && m.name == name) return m.field;
  return nullptr;
}

// The threshold and switch that watch a reading of the catalogue; null for power and for a
// reading no alarm watches.
constexpr AlarmThreshold AlarmSettings::*ThresholdField(const device::Reading& reading) {
  return ThresholdField(reading.settingsGroup, reading.settingsKey);
}

// Every watched reading but power has its threshold in AlarmSettings.
static_assert([] {
  for (const device::Reading* r : device::kAlarmRows)
    if ((ThresholdField(*r) == nullptr) != (r->rule == device::AlarmRule::PowerAbove)) return false;
  return true;
}());

}  // namespace settings
