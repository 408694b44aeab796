#pragma once

#include "app/ctl/ctl_environment.h"
#include "app/ctl/status_snapshot.h"
#include "settings/alarm_settings.h"

namespace app::ctl {

// What the commands that judge one poll by the stored alarm settings (`alarms check`,
// `gauge`) start from.
struct JudgedPoll {
  settings::AlarmSettings alarms;
  StatusSnapshot snapshot;
};

// Loads the stored alarm settings, then reads one status snapshot under the access lock.
// The settings come first: a broken settings file touches no device. Returns exit 0, or the
// code of what failed (4 for the settings file, with its text on the error stream; the lock's
// and device's codes as RunUnderAccessLock gives them).
int RunJudgedPoll(CtlEnvironment& environment, JudgedPoll& poll);

}  // namespace app::ctl
