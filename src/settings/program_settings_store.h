#pragma once

#include "platform/registry/registry.h"

namespace settings {

// The program's own key, which holds the switches that belong to no page.
inline constexpr const char* kProgramKey = "SOFTWARE\\NORVANE\\Quelta";
// "1" (or absent): an alarm start is told to the desktop; "0": it is not.
inline constexpr const char* kNotifyOnAlarmValue = "NotifyOnAlarm";

// Whether alarm starts are told to the desktop. On unless the value says "0", so a settings
// tree from before the switch notifies. Throws platform::RegistryReadError when the value is
// not text or the settings file cannot be read.
bool LoadNotifyOnAlarm(platform::RegistryStore& store);

// Stores the switch as "1" or "0"; true when it reached the store.
bool SaveNotifyOnAlarm(platform::RegistryStore& store, bool on);

}  // namespace settings
