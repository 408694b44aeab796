#pragma once

#include <cstdint>
#include <functional>

#include "alarms/alarm_blink.h"
#include "alarms/alarm_notices.h"
#include "alarms/alarm_page.h"
#include "alarms/alarm_state.h"
#include "detail/detail_windows.h"
#ifdef QUELTA_HISTORY_RECORD
#include "mainwindow/history_hookup.h"
#endif
#include "mainwindow/monitor_page.h"
#include "platform/notify/desktop_notifier.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/tray_icon.h"
#include "platform/ui/window.h"
#include "session/monitor_session.h"

namespace mainwindow {

// What the main window draws and tells when the session hears from the worker: the rating on
// the power display, each poll on the monitor page, the detail windows, the tray hint, the
// alarm blink, the desktop notices and the record, and the worker's end in a message. It keeps
// no readings of its own. UI thread only.
class SessionView final : public session::SessionObserver {
 public:
  struct Parts {
    ui::Window& window;
    ui::Dialogs& dialogs;
    MonitorPage& monitor;
    detail::DetailWindows& details;
    ui::TrayIcon& tray;
    alarms::AlarmBlink& blink;
    alarms::AlarmStatus& alarmStatus;
    alarms::AlarmNotices& notices;
    platform::DesktopNotifier* notifier = nullptr;
#ifdef QUELTA_HISTORY_RECORD
    HistoryHookup* history = nullptr;
#endif
    // Null until the skin load built it.
    std::function<alarms::AlarmPage*()> alarmPage;
    std::function<bool()> monitorPageShown;
  };

  explicit SessionView(Parts parts) : parts_(std::move(parts)) {}

  void PowerRatingReady(const session::MonitorSession& session, std::int32_t rating) override;
  void PollCompleted(const session::MonitorSession& session,
                     const session::PollNews& news) override;
  void WorkerEnded(const session::MonitorSession& session) override;
  // The alarms were judged: the flags the window reads, the blink and the desktop notices.
  void AlarmsJudged(const session::MonitorSession& session);

 private:
  // The end of a completed cycle: the page, the detail windows, every alarm flag, the blink,
  // the notices and the record.
  void CycleComplete(const session::MonitorSession& session);

  Parts parts_;
};

}  // namespace mainwindow
