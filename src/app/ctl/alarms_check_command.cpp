#include <nlohmann/json.hpp>

#include <iomanip>
#include <sstream>

#include "alarms/alarm_evaluation.h"
#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/judged_poll.h"
#include "core/numbers.h"
#include "device/reading_catalogue.h"
#include "settings/alarm_settings_store.h"

namespace app::ctl {
namespace {

constexpr int kReadingDecimals = 2;

}  // namespace

int RunAlarmsCheck(CtlEnvironment& environment, bool json) {
  JudgedPoll poll;
  if (const int code = RunJudgedPoll(environment, poll); code != kExitDone) return code;
  settings::AlarmSettings& alarms = poll.alarms;
  const StatusSnapshot& snapshot = poll.snapshot;
  // The window evaluates only once every group was read; so does the check.
  if (!snapshot.groups.EveryReading()) {
    environment.Err() << "quelta-ctl: the PSU controller did not answer every reading\n";
    return kExitNoAnswer;
  }

  const alarms::AlarmState state =
      alarms::EvaluateAlarms(snapshot.readings, alarms, /*monitorPageShown=*/true);

  if (json) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::object();
    for (const device::Reading* row : device::kAlarmRows) {
      rows[std::string(row->rowName)] = state[row->row];
    }
    nlohmann::ordered_json out;
    out["any"] = state.Any();
    out["alarms"] = rows;
    environment.Out() << out.dump() << '\n';
  } else {
    std::ostringstream text;
    for (const device::Reading* row : device::kAlarmRows) {
      text << std::left << std::setw(10) << row->rowName << std::right << std::setw(10)
           << core::FixedText(snapshot.readings.*row->field, kReadingDecimals) << "  "
           << (state[row->row] ? "ALARM" : "ok") << '\n';
    }
    environment.Out() << text.str();
  }
  return state.Any() ? kExitInAlarm : kExitDone;
}

}  // namespace app::ctl
