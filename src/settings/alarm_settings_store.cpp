#include "settings/alarm_settings_store.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "core/numbers.h"
#include "device/rail_table.h"
#include "settings/alarm_thresholds.h"
#include "settings/save_outcome.h"
#include "settings/settings_keys.h"
#include "settings/voltage_band.h"

namespace settings {
namespace {

constexpr int kThresholdDecimals = 2;
constexpr char kOn[] = "1";
constexpr char kOff[] = "0";
constexpr std::string_view kEnableSuffix = "Enable";
constexpr std::string_view kDefaultPrefix = "Default";
constexpr std::string_view kNameSuffix = "Name";
constexpr std::string_view kSensorNamePrefixes[] = {"T1", "T2", "T3", "T4"};

enum class FlagRule { Strict, Numeric };

// One group of thresholds with its orders: thresholds are read in `thresholdReads`, then the
// defaults and later the switches in `laterReads`; saves write the thresholds, then the
// switches, in `writes`.
struct Group {
  AlarmGroup code;
  std::string_view key;
  FlagRule flags;
  std::span<const AlarmMember> thresholdReads;
  std::span<const AlarmMember> laterReads;
  std::span<const AlarmMember> writes;
};

// The thresholds of one group, each once (the 12 V rails share one), as an AlarmMember list.
struct Members {
  std::array<AlarmMember, device::kCurrentRailCount> items{};
  std::size_t count = 0;

  constexpr void Add(const device::Reading& r) {
    for (std::size_t i = 0; i < count; ++i)
      if (items[i].name == r.settingsKey) return;
    items[count++] = AlarmMember{r.settingsKey, ThresholdField(r)};
  }
  constexpr std::span<const AlarmMember> Span() const { return {items.data(), count}; }
};

// In alarm row order: how every group is read, and how fans and temperatures are written.
constexpr Members ByRow(std::string_view group) {
  Members out;
  for (const device::Reading* r : device::kAlarmRows)
    if (r->settingsGroup == group) out.Add(*r);
  return out;
}

// In the rails' table order (12 V first): how voltages and currents are written.
constexpr Members ByRail(std::string_view group) {
  Members out;
  for (const device::Rail& rail : device::kRails) {
    for (const device::Reading& r : device::kReadings)
      if (r.rail == rail.id && r.settingsGroup == group) out.Add(r);
  }
  return out;
}

constexpr Members kVoltageReads = ByRow(device::kVoltageGroup);
constexpr Members kVoltageWrites = ByRail(device::kVoltageGroup);
constexpr Members kCurrentReads = ByRow(device::kCurrentGroup);
constexpr Members kCurrentWrites = ByRail(device::kCurrentGroup);
constexpr Members kFans = ByRow(device::kFanSpeedGroup);
constexpr Members kTemperatures = ByRow(device::kTemperatureGroup);
static_assert(kVoltageReads.items[2].field == &AlarmSettings::Voltage12V &&
              kCurrentWrites.items[5].field == &AlarmSettings::Current33V &&
              kTemperatures.items[0].field == &AlarmSettings::TempPSU);

constexpr Group kVoltageGroup{AlarmGroup::kVoltage, "\\Voltage",          FlagRule::Strict,
                              kVoltageReads.Span(), kVoltageReads.Span(), kVoltageWrites.Span()};
constexpr Group kCurrentGroup{AlarmGroup::kCurrent, "\\Current",           FlagRule::Numeric,
                              kCurrentReads.Span(), kCurrentWrites.Span(), kCurrentWrites.Span()};
constexpr Group kFanSpeedGroup{AlarmGroup::kFanSpeed, "\\FanSpeed", FlagRule::Numeric,
                               kFans.Span(),          kFans.Span(), kFans.Span()};
constexpr Group kTemperatureGroup{AlarmGroup::kTemperature, "\\Temperature",
                                  FlagRule::Strict,         kTemperatures.Span(),
                                  kTemperatures.Span(),     kTemperatures.Span()};
constexpr std::string_view kWattKey = "\\Watt";
constexpr std::string_view kWattValue = "Watt";

// The groups with a threshold table, in loading order; power is handled on its own.
constexpr const Group* kTableGroups[] = {&kVoltageGroup, &kCurrentGroup, &kFanSpeedGroup,
                                         &kTemperatureGroup};

std::string GroupKey(std::string_view sub) {
  return std::string(kAlarmKey) + std::string(sub);
}

std::string Joined(std::string_view a, std::string_view b) {
  return std::string(a) + std::string(b);
}

float Threshold(platform::RegistryKey& key, const std::string& name) {
  return core::ParseSettingNumber(key.ReadString(name));
}

// `where` is the key's path below the alarm key ("\\Voltage"), for the message.
bool Flag(platform::RegistryKey& key, std::string_view where, const std::string& name,
          FlagRule rule) {
  const std::string text = key.ReadString(name);
  if (rule == FlagRule::Numeric) return core::ParseSettingNumber(text) != 0.0f;
  try {
    return core::StrictToInt(text) != 0;
  } catch (const core::ConversionError&) {
    throw core::ConversionError("'" + text + "' is not a valid integer value: alarm switch \"" +
                                name + "\" under " + GroupKey(where));
  }
}

std::string ThresholdText(float value) {
  return core::FixedText(static_cast<double>(value), kThresholdDecimals);
}

const char* FlagText(bool on) {
  return on ? kOn : kOff;
}

std::string NameValue(std::size_t sensor) {
  return Joined(kSensorNamePrefixes[sensor], kNameSuffix);
}

void LoadGroup(platform::RegistryKey& key, const Group& group, AlarmSettings& alarms,
               SensorNames& names) {
  for (const AlarmMember& m : group.thresholdReads) {
    (alarms.*m.field).Value = Threshold(key, std::string(m.name));
  }
  // A voltage threshold below its nominal is held as the band's upper edge from here on.
  if (group.code == AlarmGroup::kVoltage) KeepVoltageUpperEdges(alarms);
  for (const AlarmMember& m : group.laterReads) {
    (alarms.*m.field).Default = Threshold(key, Joined(kDefaultPrefix, m.name));
  }
  if (group.code == AlarmGroup::kTemperature) {
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = key.ReadString(NameValue(i));
    for (std::size_t i = 0; i < names.size(); ++i) {
      alarms.DefaultNames[i] = key.ReadString(Joined(kDefaultPrefix, NameValue(i)));
    }
  }
  for (const AlarmMember& m : group.laterReads) {
    (alarms.*m.field).Enable = Flag(key, group.key, Joined(m.name, kEnableSuffix), group.flags);
  }
}

void WriteNames(SaveOutcome& save, platform::RegistryKey& key, const SensorNames& names) {
  for (std::size_t i = 0; i < names.size(); ++i) save.Write(key, NameValue(i), names[i]);
}

const Group* TableGroup(AlarmGroup code) {
  for (const Group* group : kTableGroups) {
    if (group->code == code) return group;
  }
  return nullptr;
}

// A registry text cannot hold a NUL: a name with one is refused before anything is written.
bool Storable(const SensorNames& names) {
  for (const std::string& name : names) {
    if (name.find('\0') != std::string::npos) return false;
  }
  return true;
}

void WriteGroup(SaveOutcome& save, const AlarmSettings& alarms, AlarmGroup group,
                const SensorNames& alarmPageNames) {
  const Group* table = TableGroup(group);
  const auto key = save.Open(GroupKey(table ? table->key : kWattKey));
  if (key && table == nullptr) {
    save.Write(*key, "Watt", ThresholdText(alarms.Watt));
    save.Write(*key, "WattEnable", FlagText(!alarms.WattMuted));
  } else if (key) {
    for (const AlarmMember& m : table->writes) {
      save.Write(*key, m.name, ThresholdText((alarms.*m.field).Value));
    }
    if (group == AlarmGroup::kTemperature) WriteNames(save, *key, alarmPageNames);
    for (const AlarmMember& m : table->writes) {
      save.Write(*key, Joined(m.name, kEnableSuffix), FlagText((alarms.*m.field).Enable));
    }
  }
}

constexpr AlarmGroup kSavingOrder[] = {AlarmGroup::kWatt, AlarmGroup::kVoltage,
                                       AlarmGroup::kCurrent, AlarmGroup::kFanSpeed,
                                       AlarmGroup::kTemperature};

}  // namespace

std::span<const AlarmMember> AlarmGroupMembers(AlarmGroup group) {
  const Group* table = TableGroup(group);
  return table ? table->writes : std::span<const AlarmMember>();
}

void LoadAlarmSettings(platform::RegistryStore& store, AlarmSettings& alarms, SensorNames& names) {
  const auto registry = store.Open(platform::RegistryAccess::Read);

  // The power alarm is held as a muted flag, so a power key or threshold that is not there
  // would leave the alarm on at 0 W, in alarm at every poll: a missing threshold is refused as
  // a missing switch is.
  const auto watt = registry->OpenKey(GroupKey(kWattKey));
  const std::string wattText = watt ? watt->ReadString(kWattValue) : std::string();
  if (wattText.empty()) {
    throw core::ConversionError("'' is not a valid number: alarm threshold \"" +
                                std::string(kWattValue) + "\" under " + GroupKey(kWattKey) +
                                (watt ? "" : " (the key does not exist)"));
  }
  alarms.Watt = core::ParseSettingNumber(wattText);
  alarms.DefaultWatt = Threshold(*watt, "DefaultWatt");
  alarms.WattMuted = !Flag(*watt, kWattKey, "WattEnable", FlagRule::Strict);
  for (const Group* group : kTableGroups) {
    if (const auto key = registry->OpenKey(GroupKey(group->key))) {
      LoadGroup(*key, *group, alarms, names);
    }
  }
}

bool SaveAlarmGroup(platform::RegistryStore& store, const AlarmSettings& alarms, AlarmGroup group,
                    const SensorNames& alarmPageNames) {
  if (group != AlarmGroup::kWatt && TableGroup(group) == nullptr) return false;
  if (group == AlarmGroup::kTemperature && !Storable(alarmPageNames)) return false;
  const auto registry = store.Open(platform::RegistryAccess::Write);
  SaveOutcome save(*registry);
  WriteGroup(save, alarms, group, alarmPageNames);
  return save.Finish();
}

bool SaveSensorNames(platform::RegistryStore& store, const SensorNames& names) {
  if (!Storable(names)) return false;
  const auto registry = store.Open(platform::RegistryAccess::Write);
  SaveOutcome save(*registry);
  if (const auto key = save.Open(GroupKey(kTemperatureGroup.key))) WriteNames(save, *key, names);
  return save.Finish();
}

bool RestoreAlarmDefaults(platform::RegistryStore& store, AlarmSettings& alarms,
                          const SensorNames& alarmPageNames) {
  alarms.Watt = alarms.DefaultWatt;
  for (const Group* group : kTableGroups) {
    for (const AlarmMember& m : group->writes) (alarms.*m.field).Value = (alarms.*m.field).Default;
  }
  // The factory thresholds are saved as they are; held, a voltage one becomes its upper edge.
  if (!Storable(alarmPageNames)) {
    KeepVoltageUpperEdges(alarms);
    return false;
  }
  // One accessor, one commit: a save cut short leaves all five groups old or all five new.
  const auto registry = store.Open(platform::RegistryAccess::Write);
  SaveOutcome save(*registry);
  for (const AlarmGroup group : kSavingOrder) WriteGroup(save, alarms, group, alarmPageNames);
  const bool saved = save.Finish();
  KeepVoltageUpperEdges(alarms);
  return saved;
}

}  // namespace settings
