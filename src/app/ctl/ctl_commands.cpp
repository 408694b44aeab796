#include "app/ctl/commands.h"
#include "app/ctl/ctl_command.h"

namespace app::ctl {

std::span<const CtlCommand> CtlCommands() {
  static constexpr CtlCommand kCommands[] = {
      {"list", "", "HID interfaces seen and whether each device is present", RunList},
      {"probe", "",
       "the start-up probe as the main window runs it; prints the rating alone\n"
       "on one line (0 for an unknown code); exit 0 when the probe succeeded",
       RunProbe},
      {"status", "[--json]",
       "under the access lock: reference, calibration, rating, voltages, currents,\n"
       "fans, sensor temperatures, PSU temperature; prints the readings",
       RunStatus},
      {"led", "on|off", "switches the PSU's LED light", RunLed},
      {"fan", "psu VOLTS TEMP | system VOLTS TEMP SENSOR",
       "sets a fan's manual curve: start voltage 4.0..12.0 V, rising temperature\n"
       "25..74 C; SENSOR 0..4 = PSU, T1..T4",
       RunFan},
      {"trim", "12v|5v|3.3v VOLTS",
       "reads the reference and voltages, then trims that rail alone to VOLTS\n"
       "(taken exactly as typed; within 10% of nominal)",
       RunTrim},
      {"send", "restore|restart-worker|apply-fan-curve|unplug|plug",
       "sends the running Quelta window one of its messages: restore it from the\n"
       "tray, restart its device worker, or apply the fan page's manual curve;\n"
       "unplug and plug pull and put back the cable of `quelta --simulate`'s PSU",
       RunSend},
      {"gauge", "[--json]",
       "one poll under the access lock; the needles and flags from it and the stored\n"
       "alarm settings, sent once to the gauge panel; exit 2 when the panel is absent",
       RunGauge},
      {"watch", "[--cycles N] [--interval MS] [--json]",
       "run the real worker; print each hand-over as the UI thread receives it\n"
       "(default interval 3000)",
       RunWatch},
      {"config", "show [--json]", "LoadConfigSettings, then print what is in memory", RunConfig},
      {"alarms", "show [--json] | restore-defaults | check [--json]",
       "LoadAlarmSettings, then print what is in memory; or RestoreAlarmDefaults\n"
       "(saves all five groups; the sensor names are written as loaded); or check:\n"
       "one poll under the access lock, every alarm row evaluated against the stored\n"
       "thresholds as the monitor page does; exit 6 when any row is in alarm",
       RunAlarms},
      {"settings", "import FILE",
       "take the configuration and alarm values of a registry editor's export of the\n"
       "Quelta key (UTF-16 or UTF-8; HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER) into your\n"
       "settings; prints each value taken and each left (factory values, the skin)",
       RunSettings},
      {"skin-check", "[--rating 450|550|680|800] [--lang 1..8]",
       "read every skin record of every page, resolve every path, open every bitmap;\n"
       "\"skin OK\" (exit 0) or the first problem with its key or file (exit 1)",
       RunSkinCheckCommand},
      {"autostart", "on|off|status",
       "start Quelta in the tray at login (on), not any more (off), or say which\n"
       "($XDG_CONFIG_HOME/autostart/quelta.desktop)",
       RunAutostart},
  };
  return kCommands;
}

}  // namespace app::ctl
