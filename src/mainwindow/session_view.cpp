#include "mainwindow/session_view.h"

#include <string>

#include "core/numbers.h"

namespace mainwindow {
namespace {

constexpr const char* kUnsupportedPower = "***** Unsupport Power Type *****";
constexpr const char* kConnectionRemoved = "Connection Removed!";
constexpr const char* kWattHint = "Watt: ";
constexpr int kWattHintDecimals = 2;

}  // namespace

void SessionView::PowerRatingReady(const session::MonitorSession&, std::int32_t rating) {
  if (rating != 0) {
    parts_.monitor.SetPowerRating(rating);
    if (alarms::AlarmPage* page = parts_.alarmPage()) page->SetPowerRating(rating);
    return;
  }
  parts_.dialogs.ShowMessage(kUnsupportedPower);
  parts_.window.Close();
}

void SessionView::PollCompleted(const session::MonitorSession& session,
                                const session::PollNews& news) {
  const device::ReadingSet& values = session.Values();
  // The voltage window follows every new set of voltages, on any page.
  if (news.voltages) parts_.details.VoltagesReady(values);
  // Every poll, complete or not: the hint shows that the readings keep coming.
  if (news.watt) {
    parts_.tray.SetHint(kWattHint + core::FixedText(values.WattTotal, kWattHintDecimals));
  }
  if (news.complete) CycleComplete(session);
}

void SessionView::CycleComplete(const session::MonitorSession& session) {
  const device::ReadingSet& values = session.Values();
  if (parts_.monitorPageShown()) {
    parts_.monitor.RefreshMonitorPage();
    parts_.details.MonitorPageRefreshed(values);
  }
  AlarmsJudged(session);
#ifdef QUELTA_HISTORY_RECORD
  if (parts_.history) parts_.history->CycleComplete(values, parts_.alarmStatus.Flags());
#endif
}

void SessionView::AlarmsJudged(const session::MonitorSession& session) {
  parts_.blink.ShowIcons();
  // Told once as an alarm starts; the blink that follows tells nothing more.
  for (const alarms::AlarmNotice& notice :
       parts_.notices.Evaluated(parts_.alarmStatus.Flags(), session.Values(), session.Alarms())) {
    if (parts_.notifier) parts_.notifier->Notify(notice.summary, notice.body);
  }
}

void SessionView::WorkerEnded(const session::MonitorSession&) {
#ifdef QUELTA_HISTORY_RECORD
  if (parts_.history) parts_.history->ConnectionLost();
#endif
  parts_.dialogs.ShowMessage(kConnectionRemoved);
}

}  // namespace mainwindow
