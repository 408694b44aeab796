#include "alarms/alarm_evaluation.h"
#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/judged_poll.h"
#include "app/ctl/usage_error.h"
#include "metrics/open_metrics_text.h"

namespace app::ctl {

int RunMetrics(CtlEnvironment& environment, std::span<const std::string> arguments) {
  if (!arguments.empty()) throw UsageError("metrics does not take '" + arguments[0] + "'");
  JudgedPoll poll;
  const int code = RunJudgedPoll(environment, poll);
  // A broken settings file is said on the error stream alone: nothing was polled.
  if (code == kExitSettingsError) return code;
  metrics::MetricsPoll shown;
  shown.readings = poll.snapshot.readings;
  // As the window, judged only once every group was read.
  shown.success = code == kExitDone && poll.snapshot.groups.EveryReading();
  if (!poll.snapshot.groups.PowerRating) shown.readings.PowerRating = 0;
  if (shown.success) {
    shown.alarms = alarms::EvaluateAlarms(shown.readings, poll.alarms, /*monitorPageShown=*/true);
  }
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
