#pragma once

namespace app::ctl {

// quelta-ctl's exit codes.
enum ExitCode : int {
  kExitDone = 0,
  kExitUsage = 1,          // bad usage or bad scenario; the message says what
  kExitNotFound = 2,       // device not found or not opened (or its access mutex not obtained)
  kExitNoAnswer = 3,       // the device did not answer, or another holder kept its lock
  kExitSettingsError = 4,  // a conversion or registry read error in the settings file
  kExitSaveFailed = 5,     // a save did not reach the settings file (or the autostart entry)
  kExitInAlarm = 6,        // alarms check: at least one reading is in alarm
  kExitNoHistory = 7,      // history: the record cannot be read (or its place not found)
  kExitNotListening = 8,   // serve: the address could not be listened on
};

}  // namespace app::ctl
