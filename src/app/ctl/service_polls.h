#pragma once

#include <functional>

#include "alarms/alarm_state.h"
#include "app/ctl/poll_collector.h"
#include "history/history_writer.h"
#include "metrics/metrics_board.h"
#include "settings/alarm_settings.h"

namespace app::ctl {

// What the service makes of each completed poll: judges it by the stored alarm settings as
// the monitor page does, puts its metrics on the board, and records it with the alarm rows
// that started or ended and the connection's losses and returns. UI thread only.
class ServicePolls {
 public:
  // `recorder` may be null (recording switched off). `onJudged` (may be empty) is told of
  // every judged poll with its alarm flags and readings: the desktop's notices start there.
  using Judged = std::function<void(const alarms::AlarmState&, const device::ReadingSet&)>;
  ServicePolls(settings::AlarmSettings& alarmSettings, metrics::MetricsBoard& board,
               history::HistoryWriter* recorder, Judged onJudged);

  void Poll(const CompletedPoll& poll);
  // The connection lost (the worker ended after it had polled) or back (a new worker has its
  // rating after a loss).
  void Connection(bool connected);

 private:
  settings::AlarmSettings& alarmSettings_;
  metrics::MetricsBoard& board_;
  history::HistoryWriter* recorder_;
  Judged onJudged_;
  alarms::AlarmState alarms_;  // of the last judged poll; a failed poll changes none
  bool lost_ = false;
};

}  // namespace app::ctl
