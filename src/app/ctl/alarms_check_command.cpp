#include <nlohmann/json.hpp>

#include <iomanip>
#include <sstream>

#include "alarms/alarm_evaluation.h"
#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/judged_poll.h"
#include "core/numbers.h"
#include "settings/alarm_settings_store.h"

namespace app::ctl {
namespace {

// The reading each row compares, in row order.
constexpr float device::ReadingSet::*kRowReadings[alarms::kAlarmRowCount] = {
    &device::ReadingSet::WattTotal, &device::ReadingSet::FanPSU,  &device::ReadingSet::FanSystem,
    &device::ReadingSet::Vol5V,     &device::ReadingSet::Vol33V,  &device::ReadingSet::Vol12V1,
    &device::ReadingSet::Vol12V2,   &device::ReadingSet::Vol12V3, &device::ReadingSet::Vol12V4,
    &device::ReadingSet::Cur5V,     &device::ReadingSet::Cur33V,  &device::ReadingSet::Cur12V1,
    &device::ReadingSet::Cur12V2,   &device::ReadingSet::Cur12V3, &device::ReadingSet::Cur12V4,
    &device::ReadingSet::TempPSU,   &device::ReadingSet::TempT1,  &device::ReadingSet::TempT2,
    &device::ReadingSet::TempT3,    &device::ReadingSet::TempT4};

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

  alarms::AlarmState state;
  alarms::EvaluateAlarms(snapshot.readings, alarms, /*monitorPageShown=*/true, state);

  if (json) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::object();
    for (std::size_t i = 0; i < alarms::kAlarmRowCount; ++i) {
      rows[std::string(alarms::kAlarmRowNames[i])] = state.flags[i];
    }
    nlohmann::ordered_json out;
    out["any"] = state.Any();
    out["alarms"] = rows;
    environment.Out() << out.dump() << '\n';
  } else {
    std::ostringstream text;
    for (std::size_t i = 0; i < alarms::kAlarmRowCount; ++i) {
      text << std::left << std::setw(10) << alarms::kAlarmRowNames[i] << std::right << std::setw(10)
           << core::FixedText(snapshot.readings.*kRowReadings[i], kReadingDecimals) << "  "
           << (state.flags[i] ? "ALARM" : "ok") << '\n';
    }
    environment.Out() << text.str();
  }
  return state.Any() ? kExitInAlarm : kExitDone;
}

}  // namespace app::ctl
