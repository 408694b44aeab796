#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/registry/registry.h"
#include "settings/alarm_settings.h"

namespace settings {

// A threshold of AlarmSettings and the registry value name it is stored under: "12V" stands for
// "12V", "Default12V" and "12VEnable".
struct AlarmMember {
  std::string_view name;
  AlarmThreshold AlarmSettings::*field;
};

// The thresholds of a group (Voltage to Temperature) in saving order; empty for the power
// group, which has one threshold held apart, and for a code that is not a group.
std::span<const AlarmMember> AlarmGroupMembers(AlarmGroup group);

// Loads every alarm group whose key opens (Watt, Voltage, Current, FanSpeed, Temperature) with
// one read accessor; `names` receives "T1Name".."T4Name" for the monitor page's name fields.
// A missing key leaves its group as it was; a missing threshold or numeric flag reads as 0; a
// voltage threshold below its nominal is held as its band's upper edge.
// Throws core::ConversionError for a missing or non-integer strict flag ("WattEnable", the
// Voltage and Temperature enables), platform::RegistryReadError for a value that is not text
// or a settings file that cannot be read; what was read before stays set.
void LoadAlarmSettings(platform::RegistryStore& store, AlarmSettings& alarms, SensorNames& names);

// Saves the thresholds ("450.00"), switches ("1"/"0") and, for AlarmGroup::kTemperature, the names
// from the alarm page's fields, of one group with one write accessor. Returns true only when
// the group's key opened, every value was written and the accessor committed; false for a code
// that is not a group. Throws platform::RegistryReadError when the settings file cannot be read.
bool SaveAlarmGroup(platform::RegistryStore& store, const AlarmSettings& alarms, AlarmGroup group,
                    const SensorNames& alarmPageNames);

// Saves "T1Name".."T4Name" from the monitor page's fields; true when it reached the store.
bool SaveSensorNames(platform::RegistryStore& store, const SensorNames& names);

// Copies every factory threshold over its threshold, then saves the five groups in order;
// after the save a voltage threshold below nominal is held as its upper edge. Switches and
// names are not restored: they are saved as held. True when all five saves were.
bool RestoreAlarmDefaults(platform::RegistryStore& store, AlarmSettings& alarms,
                          const SensorNames& alarmPageNames);

}  // namespace settings
