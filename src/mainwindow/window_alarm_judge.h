#pragma once

#include <functional>

#include "session/alarm_judge.h"

namespace mainwindow {

// The window's one joint between the session and the alarm rules: every row decided from the
// session's readings and alarm settings; the power row counts only while `monitorPageShown`.
session::AlarmJudge WindowAlarmJudge(std::function<bool()> monitorPageShown);

}  // namespace mainwindow
