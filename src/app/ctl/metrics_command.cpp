#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/polled_session.h"
#include "app/ctl/usage_error.h"
#include "metrics/open_metrics_text.h"

namespace app::ctl {

int RunMetrics(CtlEnvironment& environment, std::span<const std::string> arguments) {
  if (!arguments.empty()) throw UsageError("metrics does not take '" + arguments[0] + "'");
  PolledSession polled;
  const int code = polled.Poll(environment);
  // A broken settings file is said on the error stream alone: nothing was polled.
  if (code == kExitSettingsError) return code;
  const session::MonitorSession& session = polled.Session();
  metrics::MetricsPoll shown;
  // What the session holds: a group that was not read reads 0, the rating too. The readings
  // are shown, and the alarms were judged, only once every group was read, as in the window.
  shown.readings = session.Values();
  shown.success = code == kExitDone && polled.Complete();
  if (shown.success) shown.alarms.flags = session.Flags();
  // A collector keeps the file of a failed poll too: it says quelta_poll_success 0.
  environment.Out() << metrics::OpenMetricsText(shown);
  if (code != kExitDone) return code;
  if (!shown.success) {
    environment.Err() << "quelta-ctl: the PSU controller did not answer every reading\n";
    return kExitNoAnswer;
  }
  return kExitDone;
}

}  // namespace app::ctl
