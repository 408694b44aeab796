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
#include "mainwindow/form_main_environment.h"
#ifdef QUELTA_HISTORY_RECORD
#include "mainwindow/history_hookup.h"
#endif
#include "mainwindow/monitor_image_lists.h"
#include "mainwindow/monitor_page.h"
#include "mainwindow/tray_menu.h"
#include "pages/config_page.h"
#include "pages/control_bar.h"
#include "pages/monitor_page_controls.h"
#include "pages/page_images.h"
#include "pages/page_roll.h"
#include "pages/window_drag.h"
#include "pages/window_hooks.h"
#include "platform/ui/image.h"
#include "platform/ui/text_label.h"
#include "platform/ui/timer.h"
#include "platform/ui/window.h"
#include "platform/ui/window_handle.h"
#include "settings/alarm_settings.h"
#include "settings/fan_settings.h"
#include "settings/voltage_settings.h"
#include "skin/file_resolver.h"
#include "skin/language.h"
#include "skin/skin_path.h"

namespace skin {
class SkinLoader;
}  // namespace skin

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

  // Whether start-up completed (the hook is installed and the timers run).
  bool Started() const { return started_; }
  // Whether start-up waits for another holder of the PSU's access mutex: the window is live
  // (its caption names the holder, Exit ends it) and goes on once the mutex comes free.
  bool WaitingForLock() const { return waitingForLock_; }
  // Runs `then` once start-up has completed: at once if it has, else when it does.
  void WhenStarted(std::function<void()> then);
  bool CloseOnActivate() const { return closeOnActivate_; }
  bool Connected() const { return connected_; }
  // The window was closed: the program ends.
  bool Closed() const { return closed_; }
  // The page shown (or being rolled to): the roll's, the monitor page until it exists.
  Page CurrentPage() const { return roll_ ? roll_->CurrentPage() : Page::kMonitor; }
  // Null until the skin load built them.
  pages::ControlBar* Bar() const { return bar_.get(); }
  pages::PageRoll* Roll() const { return roll_.get(); }
  pages::PageImages& PageImages() { return pageImages_; }
  // The configuration page; null until the skin load built it.
  pages::ConfigPage* Config() const { return config_.get(); }

  settings::AlarmSettings& Alarms() { return alarms_; }
  settings::FanSettings& Fans() { return fan_; }
  settings::VoltageSettings& Voltages() { return voltage_; }
  ui::Timer& TimerAlarm() { return timerAlarm_; }
  ui::Timer& TimerGauge() { return timerGauge_; }
  device::GaugePanel& Gauge() { return gauge_; }
  detail::DetailWindows& Details() { return *details_; }
  // The language the skin load chose, kept for the detail windows.
  const skin::LanguageChoice& Language() const { return language_; }
  // The alarm page (null until the skin load built it), the blink and the alarm flags.
  alarms::AlarmPage* AlarmPage() const { return alarmPage_.get(); }
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
    return timerReconnect_;
  }

  // Event handlers.
  void FormActivate();
  void MainWindowProc(const ui::Message& message);
  // A device appeared or vanished somewhere on the machine.
  void DeviceChanged();
  void TrayIcon1Minimize();
  void TrayIcon1Restore();
  void Show1Click();
  void Exit1Click();
  void Default1Click();
  // "History": opens the history window.
  void History1Click();
  // "Notify on alarm": switches the desktop notifications and stores the switch.
  void NotifyOnAlarmClick(bool on);
  void TimerAlarmTimer();
  // The end of each CycleComplete hand-over: every alarm flag from the window's readings.
  void EvaluateAlarms();
  // The control bar's close button: as Exit.
  void CloseButtonClick() {
    Exit1Click();
  }
  // The monitor page's "All" buttons.
  void VolNegAllClick();
  void CurAllClick();
  // TimerGauge: drives the needle panel once a second.
  void GaugeTick();

 private:
  void FormCreate();
  // FormCreate from ConnectDevice on, once the start-up probe holds the access mutex.
  void FinishCreate();
  // Start-up waits for another holder of the access mutex: the window says so and stays live.
  void WaitForLock();
  void ShowLockCaption();
  // The start-up probe has finished (posted from its thread).
  void ProbeFinished();
  std::function<void()> ProbeFinishedNotice();
  // A skin picture whose pixels were refused when first decoded: the skin cannot be drawn, so
  // the program ends as when the skin cannot be read at start.
  void SkinPictureRefused(const std::string& why);
  // Connects after a device arrival; on failure the next notice or the reconnect timer
  // tries again. Returns whether the device is now connected.
  bool Reconnect();
  void TimerReconnectTimer();
  bool LoadSkin();
  void LoadSettings();
  void MakeHandovers();
  void ConnectionLost();
  pages::WindowHooks MakeHooks();
  void BuildRoll();
  void DecodeMonitorPageAhead(const skin::SkinLoader& loader);
  void DecodeRestAhead();
  void BuildConfigPage(const skin::PageRecords& records, const std::string& languageFolder);
  std::unique_ptr<device::WorkerHandle> StartWorker(platform::NamedMutex& accessMutex,
                                                    std::uint64_t generation);
  // What closing the window does: every worker is stopped and joined before the loop ends.
  void FormClose();
  void StopWorkers();
  void SaveSensorNames();
  // The muted flags of the power, fan-speed and temperature alarm groups as the needle panel
  // reads them. Until the alarm page keeps its own, the power group follows its stored switch
  // and the other two are not muted, as at the window's creation.
  device::GaugeMuted GaugeGroupMuted() const;
  std::int32_t DetailRating() const;

  FormMainEnvironment env_;
  // The skin's stored paths to files, for every page and control of the window: one resolver,
  // so the folders it has found are looked up once for all of them.
  const skin::FileResolver skinFiles_ = skin::SkinFileResolver(env_.programFolder);
  std::unique_ptr<ui::Window> window_;
  pages::WindowDrag drag_{*window_};
  // The three page pictures, stacked in one place under everything; the roll moves them.
  pages::PageImages pageImages_{*window_, drag_};
  MonitorImageLists lists_;
  std::unique_ptr<MonitorPage> monitor_;
  std::unique_ptr<TrayMenu> tray_;
  ui::Timer timerAlarm_;
  ui::Timer timerGauge_;
  ui::Timer timerReconnect_;
  int reconnectTriesLeft_ = 0;
  // While start-up waits for the access mutex: the caption again every second, and the
  // notice that shows it in the window.
  ui::Timer timerLockWait_;
  std::unique_ptr<ui::TextLabel> lockNotice_;
  bool waitingForLock_ = false;
  std::function<void()> whenStarted_;
  std::unique_ptr<pages::ControlBar> bar_;
  std::unique_ptr<pages::MonitorPageControls> monitorControls_;
  std::unique_ptr<pages::PageRoll> roll_;
  std::unique_ptr<pages::ConfigPage> config_;

  settings::AlarmSettings alarms_;
  alarms::AlarmStatus alarmStatus_{alarms_};
  std::unique_ptr<alarms::AlarmPage> alarmPage_;
  std::unique_ptr<alarms::AlarmBlink> blink_;
  alarms::AlarmNotices notices_{[this] {
    return std::chrono::steady_clock::time_point(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(env_.app.Loop().Now()));
  }};
  settings::FanSettings fan_;
  settings::VoltageSettings voltage_;
  settings::FanMode fanPageMode_{};
  skin::LanguageChoice language_;

  history::SystemHistoryClock systemClock_;
#ifdef QUELTA_HISTORY_RECORD
  std::unique_ptr<HistoryHookup> history_;
#endif

  device::DeviceReady ready_;
  // Dropped at exit before the workers are stopped, so nothing they post runs afterwards.
  std::shared_ptr<device::WorkerHandovers> handovers_;
  device::WorkerPool workers_;  // before the connection: the connection goes first
  std::unique_ptr<device::MonitorConnection> connection_;
  device::GaugePanel gauge_{env_.bus};
  // After the page's controls: the detail windows go first at destruction.
  std::unique_ptr<detail::DetailWindows> details_;

  bool connected_ = false;
  bool presentAtCreation_ = false;  // the first look for the controller
  bool started_ = false;
  bool closeOnActivate_ = false;
  bool closed_ = false;
};

}  // namespace mainwindow
