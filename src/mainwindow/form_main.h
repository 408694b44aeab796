#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "alarms/alarm_blink.h"
#include "alarms/alarm_notices.h"
#include "alarms/alarm_page.h"
#include "alarms/alarm_state.h"
#include "detail/detail_windows.h"
#include "device/device_ready.h"
#include "device/gauge_panel.h"
#include "device/monitor_connection.h"
#include "device/worker_handovers.h"
#include "device/worker_pool.h"
#include "history/history_clock.h"
#include "mainwindow/device_follower.h"
#include "mainwindow/form_main_environment.h"
#include "mainwindow/gauge_driver.h"
#ifdef QUELTA_HISTORY_RECORD
#include "mainwindow/history_hookup.h"
#endif
#include "mainwindow/lock_wait_notice.h"
#include "mainwindow/monitor_image_lists.h"
#include "mainwindow/monitor_page.h"
#include "mainwindow/session_view.h"
#include "mainwindow/tray_menu.h"
#include "mainwindow/window_pages.h"
#include "mainwindow/window_settings.h"
#include "mainwindow/window_tray.h"
#include "pages/config_page.h"
#include "pages/control_bar.h"
#include "pages/page_images.h"
#include "pages/page_roll.h"
#include "pages/window_drag.h"
#include "pages/window_hooks.h"
#include "platform/ui/image.h"
#include "platform/ui/timer.h"
#include "platform/ui/window.h"
#include "platform/ui/window_handle.h"
#include "session/monitor_session.h"
#include "settings/alarm_settings.h"
#include "settings/fan_settings.h"
#include "settings/voltage_settings.h"
#include "skin/file_resolver.h"
#include "skin/language.h"
#include "skin/skin_path.h"

namespace mainwindow {

using pages::Page;
using pages::SubPage;

// The main window: creates itself from the device, the skin and the settings (FormCreate),
// follows the device as it comes and goes, takes the program's own messages, sits in the
// notification area, and owns every page. UI thread only.
class TFormMain {
 public:
  // Window properties.
  static constexpr int kClientWidth = 630;
  static constexpr int kClientHeight = 659;

  // Runs FormCreate: the presence loop with its question, ConnectDevice, the skin load, the
  // settings loads and the timers. A failure shows its message and leaves the window to close
  // at its first activation.
  explicit TFormMain(FormMainEnvironment environment);
  // FormDestroy: stops and joins every worker without showing anything.
  ~TFormMain();
  TFormMain(const TFormMain&) = delete;
  TFormMain& operator=(const TFormMain&) = delete;

  ui::Window& Window() const { return *window_; }
  ui::TrayIcon& TrayIcon1() const { return tray_->Icon(); }
  MonitorPage& Monitor() const { return *monitor_; }
  const MonitorImageLists& ImageLists() const { return lists_; }
  device::MonitorConnection& Connection() const { return *connection_; }
  device::WorkerPool& Workers() { return workers_; }
  device::DeviceReady& Ready() { return ready_; }
  // The model the pages, the detail windows, the blink and the gauge read.
  session::MonitorSession& Session() { return session_; }

  // Whether start-up completed (the hook is installed and the timers run).
  bool Started() const { return started_; }
  // Whether start-up waits for another holder of the PSU's access mutex: the window is live
  // (its caption names the holder, Exit ends it) and goes on once the mutex comes free.
  bool WaitingForLock() const { return lockWait_.Waiting(); }
  // Runs `then` once start-up has completed: at once if it has, else when it does.
  void WhenStarted(std::function<void()> then);
  bool CloseOnActivate() const { return closeOnActivate_; }
  bool Connected() const { return session_.Connected(); }
  // The window was closed: the program ends.
  bool Closed() const { return closed_; }
  // The page shown (or being rolled to): the roll's, the monitor page until it exists.
  Page CurrentPage() const { return pages_ ? pages_->CurrentPage() : Page::kMonitor; }
  // Null until the skin load built them.
  pages::ControlBar* Bar() const { return pages_->Bar(); }
  pages::PageRoll* Roll() const { return pages_->Roll(); }
  pages::PageImages& PageImages() { return pageImages_; }
  // The configuration page; null until the skin load built it.
  pages::ConfigPage* Config() const { return pages_->Config(); }

  settings::AlarmSettings& Alarms() { return session_.Alarms(); }
  settings::FanSettings& Fans() { return session_.Fans(); }
  settings::VoltageSettings& Voltages() { return session_.Voltages(); }
  ui::Timer& TimerAlarm() { return timerAlarm_; }
  ui::Timer& TimerGauge() { return gauge_->TimerGauge(); }
  device::GaugePanel& Gauge() { return gauge_->Gauge(); }
  detail::DetailWindows& Details() { return *details_; }
  // The language the skin load chose, kept for the detail windows.
  const skin::LanguageChoice& Language() const { return pages_->Language(); }
  // The alarm page (null until the skin load built it), the blink and the alarm flags.
  alarms::AlarmPage* AlarmPage() const { return pages_->AlarmPage(); }
  alarms::AlarmBlink& Blink() const { return *blink_; }
  const alarms::AlarmStatus& AlarmStatus() const { return alarmStatus_; }
  // Which alarm starts are told to the desktop.
  const alarms::AlarmNotices& Notices() const { return notices_; }
  // Whether an alarm group (701..705) is switched off as a whole.
  bool GroupMuted(settings::AlarmGroup group) const { return alarmStatus_.GroupMuted(group); }
  // What records every completed poll; null when the window was given no record.
#ifdef QUELTA_HISTORY_RECORD
  HistoryHookup* History() const {
    return history_.get();
  }
#endif
  // Tries a failed reconnection again once a second while the device is present.
  ui::Timer& TimerReconnect() {
    return follower_->TimerReconnect();
  }

  // Event handlers.
  void FormActivate();
  void MainWindowProc(const ui::Message& message);
  // A device appeared or vanished somewhere on the machine.
  void DeviceChanged() {
    follower_->DeviceChanged();
  }
  void TrayIcon1Minimize() {
    windowTray_->Minimized();
  }
  void TrayIcon1Restore() {
    windowTray_->Restored();
  }
  void Show1Click() {
    tray_->Icon().Restore();
  }
  void Exit1Click();
  void Default1Click();
  // "History": opens the history window.
  void History1Click() {
    if (env_.openHistory) env_.openHistory();
  }
  // "Notify on alarm": switches the desktop notifications and stores the switch.
  void NotifyOnAlarmClick(bool on) {
    settings_->SaveNotifyOnAlarm(on);
  }
  void TimerAlarmTimer() {
    blink_->TimerAlarmTimer();
  }
  // As the end of each CycleComplete hand-over: every alarm flag from the session's readings,
  // then the blink and the notices.
  void EvaluateAlarms();
  // The control bar's close button: as Exit.
  void CloseButtonClick() {
    Exit1Click();
  }
  // The monitor page's "All" buttons.
  void VolNegAllClick();
  void CurAllClick();
  // TimerGauge: drives the needle panel once a second.
  void GaugeTick() {
    gauge_->GaugeTick();
  }

 private:
  // The parts made before FormCreate: the connection, the pages' owners and the timers.
  void MakeConnection();
  void MakeParts();
  void MakeTimers();
  void FormCreate();
  // FormCreate from ConnectDevice on, once the start-up probe holds the access mutex.
  void FinishCreate();
  // The hook: from here on device notifications and our own messages are handled.
  void InstallHook();
  // The start-up probe has finished (posted from its thread).
  void ProbeFinished();
  std::function<void()> ProbeFinishedNotice();
  // A skin picture whose pixels were refused when first decoded: the skin cannot be drawn, so
  // the program ends as when the skin cannot be read at start.
  void SkinPictureRefused(const std::string& why);
  void MakeHandovers();
  // The worker ended or could not start: the record marks the gap.
  void ConnectionLost();
  std::unique_ptr<device::WorkerHandle> StartWorker(platform::NamedMutex& accessMutex,
                                                    std::uint64_t generation);
  // What closing the window does: every worker is stopped and joined before the loop ends.
  void FormClose();
  void StopWorkers();
  std::int32_t DetailRating() const;

  FormMainEnvironment env_;
  // The skin's stored paths to files, for every page and control of the window: one resolver,
  // so the folders it has found are looked up once for all of them.
  const skin::FileResolver skinFiles_ = skin::SkinFileResolver(env_.programFolder);
  // Before everything that reads it: the readings, alarm flags, settings and connection.
  session::MonitorSession session_;
  std::unique_ptr<ui::Window> window_;
  pages::WindowDrag drag_{*window_};
  // The three page pictures, stacked in one place under everything; the roll moves them.
  pages::PageImages pageImages_{*window_, drag_};
  MonitorImageLists lists_;
  std::unique_ptr<MonitorPage> monitor_;
  std::unique_ptr<TrayMenu> tray_;
  ui::Timer timerAlarm_;
  // Start-up may wait for another holder of the access mutex; the window says whom.
  LockWaitNotice lockWait_;
  std::function<void()> whenStarted_;

  alarms::AlarmStatus alarmStatus_{session_.Alarms(), session_.Flags()};
  // The bar, the configuration and alarm pages and the roll, built by the skin load.
  std::unique_ptr<WindowPages> pages_;
  std::unique_ptr<WindowSettings> settings_;
  std::unique_ptr<WindowTray> windowTray_;
  std::unique_ptr<alarms::AlarmBlink> blink_;
  alarms::AlarmNotices notices_{[this] {
    return std::chrono::steady_clock::time_point(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(env_.app.Loop().Now()));
  }};

  history::SystemHistoryClock systemClock_;
#ifdef QUELTA_HISTORY_RECORD
  std::unique_ptr<HistoryHookup> history_;
#endif

  device::DeviceReady ready_;
  // Dropped at exit before the workers are stopped, so nothing they post runs afterwards.
  std::shared_ptr<device::WorkerHandovers> handovers_;
  device::WorkerPool workers_;  // before the connection: the connection goes first
  std::unique_ptr<device::MonitorConnection> connection_;
  std::unique_ptr<DeviceFollower> follower_;
  std::unique_ptr<GaugeDriver> gauge_;
  // After the page's controls: the detail windows go first at destruction.
  std::unique_ptr<detail::DetailWindows> details_;
  // Draws what the session hears; after everything it draws on, so it goes first.
  std::unique_ptr<SessionView> view_;

  bool presentAtCreation_ = false;  // the first look for the controller
  bool started_ = false;
  bool closeOnActivate_ = false;
  bool closed_ = false;
};

}  // namespace mainwindow
