#pragma once

#include <ostream>

#include "app/ctl/exit_code.h"
#include "platform/registry/registry.h"

namespace app::ctl {

// `config show [--json]`: LoadConfigSettings, then what it put in memory. A message the load
// shows goes to `err` and the command goes on.
int RunConfigShow(platform::RegistryStore& store, bool json, std::ostream& out, std::ostream& err);

// `alarms show [--json]`: LoadAlarmSettings, then what it put in memory.
int RunAlarmsShow(platform::RegistryStore& store, bool json, std::ostream& out, std::ostream& err);

// `alarms restore-defaults`: LoadAlarmSettings, then RestoreAlarmDefaults with the sensor names
// as loaded.
int RunAlarmsRestoreDefaults(platform::RegistryStore& store, std::ostream& out, std::ostream& err);

}  // namespace app::ctl
