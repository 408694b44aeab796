#include "mainwindow/window_alarm_judge.h"

#include <utility>

#include "alarms/alarm_evaluation.h"
#include "alarms/alarm_state.h"

namespace mainwindow {

static_assert(session::kAlarmRows == alarms::kAlarmRowCount);

session::AlarmJudge WindowAlarmJudge(std::function<bool()> monitorPageShown) {
  return [shown = std::move(monitorPageShown)](const device::ReadingSet& readings,
                                               const settings::AlarmSettings& settings) {
    return alarms::EvaluateAlarms(readings, settings, shown()).flags;
  };
}

}  // namespace mainwindow
