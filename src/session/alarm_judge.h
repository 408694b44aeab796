#pragma once

#include <functional>

#include "device/reading_set.h"
#include "session/poll_news.h"
#include "settings/alarm_settings.h"

namespace session {

// The one joint between the session and the alarm rules: every row's flag from the readings
// and the alarm settings alone, nothing stored back. The rules sit above the session, so the
// owner hands them in.
using AlarmJudge = std::function<AlarmFlags(const device::ReadingSet& readings,
                                            const settings::AlarmSettings& settings)>;

}  // namespace session
