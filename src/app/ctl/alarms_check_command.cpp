#include <nlohmann/json.hpp>

#include <iomanip>
#include <sstream>

#include <algorithm>

#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/polled_session.h"
#include "core/numbers.h"
#include "device/reading_catalogue.h"

namespace app::ctl {
namespace {

constexpr int kReadingDecimals = 2;

}  // namespace

int RunAlarmsCheck(CtlEnvironment& environment, bool json) {
  PolledSession polled;
  if (const int code = polled.Poll(environment); code != kExitDone) return code;
  // The window evaluates only once every group was read; so does the check.
  if (!polled.Complete()) {
    environment.Err() << "quelta-ctl: the PSU controller did not answer every reading\n";
    return kExitNoAnswer;
  }
  const session::MonitorSession& session = polled.Session();
  const session::AlarmFlags& flags = session.Flags();
  const auto inAlarm = [&flags](const device::Reading* row) {
    return flags[static_cast<std::size_t>(row->row)];
  };
  const bool any = std::any_of(flags.begin(), flags.end(), [](bool flag) { return flag; });

  if (json) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::object();
    for (const device::Reading* row : device::kAlarmRows) {
      rows[std::string(row->rowName)] = inAlarm(row);
    }
    nlohmann::ordered_json out;
    out["any"] = any;
    out["alarms"] = rows;
    environment.Out() << out.dump() << '\n';
  } else {
    std::ostringstream text;
    for (const device::Reading* row : device::kAlarmRows) {
      text << std::left << std::setw(10) << row->rowName << std::right << std::setw(10)
           << core::FixedText(session.Values().*row->field, kReadingDecimals) << "  "
           << (inAlarm(row) ? "ALARM" : "ok") << '\n';
    }
    environment.Out() << text.str();
  }
  return any ? kExitInAlarm : kExitDone;
}

}  // namespace app::ctl
