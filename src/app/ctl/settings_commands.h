#pragma once

#include <ostream>

#include "platform/registry/registry.h"

namespace ctl {

// Exit codes of the settings commands.
inline constexpr int kExitDone = 0;
inline constexpr int kExitSettingsError = 4;  // a conversion or registry read error
inline constexpr int kExitSaveFailed = 5;     // a save did not reach the settings file

// `config show [--json]`: LoadConfigSettings, then what it put in memory. A message the load
// shows goes to `err` and the command goes on.
int RunConfigShow(platform::RegistryStore& store, bool json, std::ostream& out, std::ostream& err);

// `alarms show [--json]`: LoadAlarmSettings, then what it put in memory.
int RunAlarmsShow(platform::RegistryStore& store, bool json, std::ostream& out, std::ostream& err);

// `alarms restore-defaults`: LoadAlarmSettings, then RestoreAlarmDefaults with the sensor names
// as loaded.
int RunAlarmsRestoreDefaults(platform::RegistryStore& store, std::ostream& out, std::ostream& err);

}  // namespace ctl
