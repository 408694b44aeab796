#include "app/ctl/service_polls.h"

#include "alarms/alarm_evaluation.h"
#include "metrics/open_metrics_text.h"

namespace app::ctl {

ServicePolls::ServicePolls(settings::AlarmSettings& alarmSettings, metrics::MetricsBoard& board,
                           history::HistoryWriter* recorder, Judged onJudged)
    : alarmSettings_(alarmSettings),
      board_(board),
      recorder_(recorder),
      onJudged_(std::move(onJudged)) {}

void ServicePolls::Poll(const CompletedPoll& poll) {
  metrics::MetricsPoll shown;
  shown.success = poll.success;
  shown.readings = poll.readings;
  if (poll.success) {
    // Judged as the monitor page judges while it is shown: the power row counts too.
    const alarms::AlarmState now =
        alarms::EvaluateAlarms(poll.readings, alarmSettings_, /*monitorPageShown=*/true);
    shown.alarms = now;
    if (recorder_) recorder_->Poll(poll.readings);
    for (std::size_t i = 0; i < alarms::kAlarmRowCount; ++i) {
      if (now.flags[i] == alarms_.flags[i]) continue;
      if (recorder_) {
        recorder_->Event(now.flags[i] ? history::HistoryEventKind::AlarmStart
                                      : history::HistoryEventKind::AlarmEnd,
                         alarms::kAlarmRowNames[i]);
      }
    }
    alarms_ = now;
    if (onJudged_) onJudged_(now, poll.readings);
  }
  board_.Publish(metrics::OpenMetricsText(shown));
}

void ServicePolls::Connection(bool connected) {
  if (connected == !lost_) return;
  lost_ = !connected;
  if (recorder_) {
    recorder_->Event(connected ? history::HistoryEventKind::ConnectionBack
                               : history::HistoryEventKind::ConnectionLost);
  }
}

}  // namespace app::ctl
