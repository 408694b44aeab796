#include "mainwindow/form_main.h"

#include <exception>
#include <utility>

#include "device/access_denied.h"
#include "device/device_discovery.h"
#include "device/device_identity.h"
#include "mainwindow/skin_pictures.h"
#include "mainwindow/window_alarm_judge.h"
#include "mainwindow/window_messages.h"
#include "platform/lock/named_mutex.h"
#include "platform/ui/bitmap_cache.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/event_loop.h"
#include "skin/skin_path.h"

namespace mainwindow {
namespace {

constexpr const char* kCaption = "Read UI";
constexpr const char* kConnectFail = "**** HARDWARE Connect FAIL ****\nDo you want to try again ?";
constexpr const char* kHandleFail = "**** HARDWARE Handle FAIL ****";
constexpr const char* kReadUiFail = "**** Read UI FAIL! ****";

constexpr std::chrono::milliseconds kAlarmInterval{1000};
// Start-up waits this long for the access mutex before the window shows whom it waits for.
constexpr std::chrono::milliseconds kLockNoticeAfter{1000};

}  // namespace

TFormMain::TFormMain(FormMainEnvironment environment)
    : env_(std::move(environment)),
      session_(WindowAlarmJudge([this] { return CurrentPage() == Page::kMonitor; })),
      window_(std::make_unique<ui::Window>(env_.app, ui::Size{kClientWidth, kClientHeight})),
      timerAlarm_(env_.app),
      lockWait_(env_.app, *window_,
                [this] { return platform::HolderText(connection_->AccessMutexHolder()); }) {
  // Window properties and creation defaults.
  window_->SetCaption(kCaption);
  window_->SetTransparentColor(ui::colors::kMagenta);
  window_->SetBackgroundColor(ui::colors::kMagenta);
  window_->CenterOnScreen();

  drag_.AttachBackground();
  MakeConnection();
  MakeParts();
  MakeHandovers();
  MakeTimers();
  FormCreate();
}

void TFormMain::MakeConnection() {
  // The controller is looked for first; when it is there, the start-up probe (mostly the
  // pauses after its reports) runs while the controls are made, and FormCreate takes its result.
  connection_ = std::make_unique<device::MonitorConnection>(
      env_.bus, env_.reportSleeper, ready_,
      [directory = env_.lockDirectory, observer = env_.accessMutexObserver] {
        platform::NamedMutex::OpenResult opened =
            platform::NamedMutex::Open(device::kAccessMutexName, directory);
        if (opened.mutex && observer) opened.mutex->SetObserver(observer);
        return opened;
      },
      [this](platform::NamedMutex& accessMutex, std::uint64_t generation) {
        return StartWorker(accessMutex, generation);
      });
  presentAtCreation_ = device::IsDevicePresent(env_.bus, device::kMonitorDevice.instanceText);
  if (presentAtCreation_) connection_->ProbeAhead(ProbeFinishedNotice());
  follower_ = std::make_unique<DeviceFollower>(env_.app, env_.bus, *window_, *connection_, workers_,
                                               session_, [this] { ConnectionLost(); });
}

void TFormMain::ConnectionLost() {
#ifdef QUELTA_HISTORY_RECORD
  if (history_) history_->ConnectionLost();
#endif
}

void TFormMain::MakeParts() {
  if (env_.imageStrips) lists_.Fill(env_.imageStrips);
  monitor_ = std::make_unique<MonitorPage>(*window_, skinFiles_, lists_, session_.Readings());
  tray_ = std::make_unique<TrayMenu>(
      env_.app, *window_,
      TrayMenu::Actions{[this] { Default1Click(); }, [this] { History1Click(); },
                        [this](bool on) { NotifyOnAlarmClick(on); }, [this] { Show1Click(); },
                        [this] { Exit1Click(); }, [this] { TrayIcon1Minimize(); },
                        [this] { TrayIcon1Restore(); }});
  monitor_->OnVolNegAll = [this] { VolNegAllClick(); };
  monitor_->OnCurAll = [this] { CurAllClick(); };
  details_ = std::make_unique<detail::DetailWindows>(
      detail::DetailEnvironment{env_.app, env_.store, env_.programFolder,
                                env_.imageStrips ? env_.imageStrips("ILANumber") : nullptr});
  blink_ = std::make_unique<alarms::AlarmBlink>(*window_, env_.app, skinFiles_, alarmStatus_,
                                                session_.BlinkPhases());
#ifdef QUELTA_HISTORY_RECORD
  if (!env_.historyFile.empty()) {
    history_ = std::make_unique<HistoryHookup>(
        env_.historyFile, env_.historyClock ? *env_.historyClock : systemClock_, env_.store,
        [&loop = env_.app.Loop()](std::function<void()> task) { loop.Post(std::move(task)); },
        [this](const std::string& text) { env_.app.GetDialogs().ShowMessage(text); });
  }
#endif
  view_ = std::make_unique<SessionView>(SessionView::Parts{
      *window_, env_.app.GetDialogs(), *monitor_, *details_, tray_->Icon(), *blink_, alarmStatus_,
      notices_, env_.notifier,
#ifdef QUELTA_HISTORY_RECORD
      history_.get(),
#endif
      [this] { return AlarmPage(); }, [this] { return CurrentPage() == Page::kMonitor; }});
  session_.AddObserver(*view_);
  pages_ = std::make_unique<WindowPages>(WindowPages::Parts{
      env_, skinFiles_, *window_, drag_, pageImages_, lists_, *monitor_, *blink_, alarmStatus_,
      session_, *connection_, timerAlarm_, tray_->Icon(), [this] { CloseButtonClick(); }});
  windowTray_ = std::make_unique<WindowTray>(WindowTray::Parts{*monitor_, timerAlarm_, *blink_,
                                                               *pages_, [this] { return started_; },
                                                               [this] { return closed_; }});
  settings_ = std::make_unique<WindowSettings>(
      WindowSettings::Parts{env_, session_, *monitor_, *pages_, notices_, tray_->Icon()});
}

void TFormMain::MakeTimers() {
  timerAlarm_.SetInterval(kAlarmInterval);
  timerAlarm_.OnTimer = [this](ui::Timer&) { TimerAlarmTimer(); };
  window_->OnActivate = [this](ui::Window&) { FormActivate(); };
  // Pictures are decoded on first draw, on a decoding-ahead thread or in a paint: a refusal is
  // handed to the UI thread. The task runs only while the window, and so this form, exists.
  env_.app.Bitmaps().SetOnDecodeFailure(
      [this, handle = window_->Handle()](const ui::FileError& failure) {
        handle.PostTask(
            [this, why = std::string(failure.what())](ui::Window&) { SkinPictureRefused(why); });
      });
  window_->OnClose = [this](ui::Window&) { FormClose(); };
  // The needle panel is driven from creation on, whatever start-up gives.
  gauge_ = std::make_unique<GaugeDriver>(env_.app, env_.bus, session_, alarmStatus_);
}

TFormMain::~TFormMain() {
  // FormDestroy: no notification and no hand-over may reach a window being taken apart.
  env_.app.Bitmaps().SetOnDecodeFailure({});
  env_.bus.SetChangeListener({});
  StopWorkers();
  connection_->DisconnectDevice();
  connection_.reset();
  session_.RemoveObserver(*view_);
}

void TFormMain::MakeHandovers() {
  handovers_ = std::make_shared<device::WorkerHandovers>();
  device::WorkerHandovers& to = *handovers_;
  // The readings, the rating, each poll's end and the worker's end go to the session.
  session_.TakeHandovers(to);
  // The worker refused to step a rail on readings or a target it cannot trust: say which.
  to.TrimRefused = [this](const std::string& why) { env_.app.GetDialogs().ShowMessage(why); };
  // A command that did not reach the PSU: the page that placed it says so (the LED's button
  // has no page of its own).
  to.CommandFailed = [this](device::DeviceCommand::Code code, const std::string& cause) {
    if (code != device::DeviceCommand::Led && Config()) {
      Config()->CommandFailed(cause);
    } else {
      env_.app.GetDialogs().ShowMessage(cause);
    }
  };
  to.StartFailed = [this](std::uint64_t generation) { follower_->StartFailed(generation); };
}

std::unique_ptr<device::WorkerHandle> TFormMain::StartWorker(platform::NamedMutex& accessMutex,
                                                             std::uint64_t generation) {
  device::WorkerContext context{env_.bus,           accessMutex,     ready_,          generation,
                                env_.reportSleeper, env_.cyclePause, env_.app.Loop(), handovers_};
  return workers_.Start(std::move(context));
}

void TFormMain::FormCreate() {
  ui::Dialogs& dialogs = env_.app.GetDialogs();
  ready_.Set();

  // The presence loop; the first look was taken when the window was made.
  bool connected = presentAtCreation_;
  while (!connected) {
    if (!dialogs.AskYesNo(kConnectFail)) break;
    connected = device::IsDevicePresent(env_.bus, device::kMonitorDevice.instanceText);
  }
  session_.SetConnected(connected);
  if (!connected) {
    closeOnActivate_ = true;
    return;
  }
  // Found only after the question: the probe starts now (nothing, when one is under way).
  connection_->ProbeAhead(ProbeFinishedNotice());
  // The access mutex is shared with every program and every user of the machine, and its
  // holder may keep it as long as it likes: past a short wait the window goes live and says
  // whom it waits for, and the probe finishes on its own thread.
  if (!connection_->AwaitProbeLock(kLockNoticeAfter)) {
    lockWait_.Begin();
    return;
  }
  FinishCreate();
}

void TFormMain::FinishCreate() {
  ui::Dialogs& dialogs = env_.app.GetDialogs();
  const device::ConnectResult connect = connection_->ConnectDevice();
  if (connect != device::ConnectResult::Connected) {
    // A controller that is there but refuses this user is told apart from a broken one.
    const std::optional<std::string> denied =
        connect == device::ConnectResult::NotOpened
            ? device::DeniedInterfacePath(env_.bus, device::kMonitorDevice)
            : std::nullopt;
    if (denied) dialogs.ShowMessage(device::AccessDeniedText(device::kMonitorDevice, *denied));
    dialogs.ShowMessage(kHandleFail);
  } else if (!pages_->LoadSkin()) {
    dialogs.ShowMessage(kReadUiFail);
  } else {
    settings_->Load();
    DecodeRestAhead(env_.app, *window_);
    monitor_->SetFanTimersEnabled(false);
    timerAlarm_.SetEnabled(true);
    InstallHook();
    started_ = true;
    if (whenStarted_) std::exchange(whenStarted_, {})();
    return;
  }
  closeOnActivate_ = true;
}

void TFormMain::InstallHook() {
  const ui::WindowHandle handle = window_->Handle();
  env_.bus.SetChangeListener([handle] {
    handle.PostTask([](ui::Window& window) {
      window.DeliverMessage(ui::Message{kDeviceChangeMessage, 0, 0});
    });
  });
  window_->OnMessage = [this](ui::Window&, const ui::Message& message) { MainWindowProc(message); };
}

std::function<void()> TFormMain::ProbeFinishedNotice() {
  // From the probe's thread. The task runs only while the window exists, and the window
  // lives as long as this form.
  return [this, handle = window_->Handle()] {
    handle.PostTask([this](ui::Window&) { ProbeFinished(); });
  };
}

void TFormMain::ProbeFinished() {
  if (!lockWait_.Waiting() || closed_) return;  // start-up took the probe's result already
  lockWait_.End(kCaption, ui::Size{kClientWidth, kClientHeight});
  FinishCreate();
  // The window has long been shown and activated: a failed start-up ends it now.
  if (closeOnActivate_) window_->Close();
}

void TFormMain::WhenStarted(std::function<void()> then) {
  if (started_) {
    then();
  } else {
    whenStarted_ = std::move(then);
  }
}

void TFormMain::SkinPictureRefused(const std::string& why) {
  // Once: a start-up that failed already said so, and a second refused picture adds nothing.
  if (closeOnActivate_ || closed_) return;
  closeOnActivate_ = true;
  if (env_.reportSkinProblem) env_.reportSkinProblem(why);
  env_.app.GetDialogs().ShowMessage(kReadUiFail);
  window_->Close();
}

void TFormMain::FormActivate() {
  if (closeOnActivate_) window_->Close();
}

void TFormMain::MainWindowProc(const ui::Message& message) {
  switch (message.id) {
    case kDeviceChangeMessage:
      DeviceChanged();
      break;
    case kRestoreMessage:
      tray_->Icon().Restore();
      break;
    case kWorkerRestartMessage:
      follower_->RestartWorker();
      break;
    case kFanCurveApplyMessage:
      if (Config()) Config()->ApplyFanCurve();
      break;
    case kHistoryWindowMessage:
      History1Click();
      break;
    default:
      break;  // not ours
  }
}

void TFormMain::Exit1Click() {
  // A settings file that cannot be written is reported, and the program still ends. Before
  // start-up has loaded them there are no names of the user's to store.
  if (started_) env_.app.Guard([this] { settings_->SaveSensorNames(); });
  window_->Close();
}

void TFormMain::Default1Click() {
  // Before start-up has loaded the settings there is nothing to restore them over: the save
  // would write the names the window starts with over the stored ones.
  if (started_) settings_->RestoreAlarmDefaults();
}

void TFormMain::EvaluateAlarms() {
  session::PollNews news;
  session_.JudgeAlarms(news);
  view_->AlarmsJudged(session_);
}

void TFormMain::VolNegAllClick() {
  details_->ShowVoltageWindow(session_.Values(), Language().folder, DetailRating());
}

void TFormMain::CurAllClick() {
  details_->ShowCurrentWindow(session_.Values(), Language().folder, DetailRating());
}

std::int32_t TFormMain::DetailRating() const {
  const std::int32_t handedOver = session_.PowerRating();
  return handedOver != 0 ? handedOver : connection_->PowerRating();
}

void TFormMain::FormClose() {
  if (closed_) return;
  closed_ = true;
  timerAlarm_.SetEnabled(false);
  gauge_->TimerGauge().SetEnabled(false);
  follower_->TimerReconnect().SetEnabled(false);
  lockWait_.Stop();
  monitor_->SetFanTimersEnabled(false);
  StopWorkers();
  env_.app.Loop().Quit();
}

void TFormMain::StopWorkers() {
  // The hand-overs go first: whatever a worker posted meanwhile is skipped, so no
  // "Connection Removed!" appears at exit and nothing runs against a window being destroyed.
  handovers_.reset();
  workers_.StopAll();
}

}  // namespace mainwindow
