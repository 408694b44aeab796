#include "alarms/alarm_page_items.h"

#include <string_view>

#include "device/reading_catalogue.h"
#include "settings/alarm_settings_store.h"

namespace alarms {
namespace {

// How a group names its displays, switches and records around a reading's skin key.
struct GroupNames {
  settings::AlarmGroup group;
  std::string_view settingsGroup;
  std::string_view display;    // "AVol" + "12V"
  std::string_view switchTag;  // "A" + "12V" + "Light"
  std::string_view folder;     // "Voltage\" + "12V"; currents sit below the rating's group
};
constexpr GroupNames kGroupNames[] = {
    {settings::AlarmGroup::kVoltage, device::kVoltageGroup, "AVol", "A", "Voltage\\"},
    {settings::AlarmGroup::kCurrent, device::kCurrentGroup, "AC", "AC", ""},
    {settings::AlarmGroup::kFanSpeed, device::kFanSpeedGroup, "AFS", "AFS", "FanSpeed\\"},
    {settings::AlarmGroup::kTemperature, device::kTemperatureGroup, "ATemp", "ATemp",
     "Temperature\\"},
};
constexpr std::string_view kLight = "Light";

// A 450 W unit drives no 12V3 and 12V4 current switches.
constexpr bool NotAt450(std::string_view skinKey, settings::AlarmGroup group) {
  return group == settings::AlarmGroup::kCurrent && (skinKey == "12V3" || skinKey == "12V4");
}

const device::Reading& ReadingOf(std::string_view settingsGroup, std::string_view settingsKey) {
  for (const device::Reading* r : device::kAlarmRows)
    if (r->settingsGroup == settingsGroup && r->settingsKey == settingsKey) return *r;
  return device::ReadingOf(device::AlarmRow::Watt);
}

std::array<ThresholdItem, kThresholdCount> Build() {
  std::array<ThresholdItem, kThresholdCount> items{};
  const std::string_view total = device::AlarmSkinKey(device::ReadingOf(device::AlarmRow::Watt));
  items[kWattDisplay].display = "AWatt" + std::string(total);
  items[kWattDisplay].key = std::string(total);
  std::size_t at = kWattDisplay + 1;
  for (const GroupNames& names : kGroupNames) {
    for (const settings::AlarmMember& member : settings::AlarmGroupMembers(names.group)) {
      const device::Reading& reading = ReadingOf(names.settingsGroup, member.name);
      const std::string key(device::AlarmSkinKey(reading));
      ThresholdItem& item = items[at++];
      item.display = std::string(names.display) + key;
      item.key = std::string(names.folder) + key;
      item.switchName = std::string(names.switchTag) + key + std::string(kLight);
      item.switchKey = item.key + std::string(kLight);
      item.current = names.group == settings::AlarmGroup::kCurrent;
      item.notAt450 = NotAt450(key, names.group);
      item.centred = names.group == settings::AlarmGroup::kVoltage;
      item.group = names.group;
      item.threshold = member.field;
    }
  }
  return items;
}

}  // namespace

const std::array<ThresholdItem, kThresholdCount>& ThresholdItems() {
  static const std::array<ThresholdItem, kThresholdCount> items = Build();
  return items;
}

}  // namespace alarms
