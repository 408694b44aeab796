#include "app/ctl/commands.h"
#include "app/ctl/ctl_command.h"

namespace app::ctl {
namespace {

// Every command in the order the usage lists them.
constexpr CtlCommand kCommands[] = {
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
    {"send", "restore|restart-worker|apply-fan-curve|history|unplug|plug",
     "sends the running Quelta window one of its messages: restore it from the\n"
     "tray, restart its device worker, apply the fan page's manual curve, or open\n"
     "its history window;\n"
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
    {"metrics", "",
     "one poll under the access lock, judged by the stored alarm settings, printed\n"
     "as OpenMetrics text (for a textfile collector); exit 2 or 3 when the PSU was\n"
     "not found or did not answer (the text then says quelta_poll_success 0)",
     RunMetrics},
    {"serve", "[--listen 127.0.0.1:9469] [--cycle-ms MS]",
     "run the worker without a window: poll, judge the stored alarms and serve\n"
     "the metrics of the last poll at http://ADDRESS/metrics until SIGTERM or\n"
     "SIGINT; the PSU is shared through the access lock and found again when it\n"
     "comes back; exit 8 when the address cannot be listened on",
     RunServe},
    {"autostart", "on|off|status",
     "start Quelta in the tray at login (on), not any more (off), or say which\n"
     "($XDG_CONFIG_HOME/autostart/quelta.desktop)",
     RunAutostart},
    {"history", "[--from T] [--to T] [--csv|--json] | on|off|status | retention DAYS",
     "print the record of every poll (polls of the last day, then 1-minute rows\n"
     "with min/mean/max; alarm and connection events); T is ISO 8601 (UTC unless\n"
     "it says) or an offset back from now: -90s, -30m, -24h, -7d. on/off/status\n"
     "switch recording; retention keeps DAYS (1..3650, default 30) and drops the\n"
     "older now ($XDG_STATE_HOME/quelta/history.sqlite)",
     RunHistory},
};

}  // namespace

std::span<const CtlCommand> CtlCommands() {
  return kCommands;
}

}  // namespace app::ctl
