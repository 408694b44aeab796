#include "mainwindow/form_main.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "alarms/alarm_evaluation.h"
#include "alarms/gauge_alarm_rules.h"
#include "core/numbers.h"
#include "device/access_denied.h"
#include "device/device_discovery.h"
#include "device/device_identity.h"
#include "mainwindow/alarm_hookup.h"
#include "mainwindow/window_messages.h"
#include "pages/ctrl_buttons.h"
#include "platform/lock/named_mutex.h"
#include "platform/ui/bitmap_cache.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/event_loop.h"
#include "settings/alarm_settings_store.h"
#include "settings/config_settings_store.h"
#include "settings/program_settings_store.h"
#include "skin/skin_files.h"
#include "skin/skin_loader.h"
#include "skin/skin_pages.h"
#include "skin/skin_path.h"

namespace mainwindow {
namespace {

constexpr const char* kCaption = "Read UI";
constexpr const char* kConnectFail = "**** HARDWARE Connect FAIL ****\nDo you want to try again ?";
constexpr const char* kHandleFail = "**** HARDWARE Handle FAIL ****";
constexpr const char* kReadUiFail = "**** Read UI FAIL! ****";
constexpr const char* kUnsupportedPower = "***** Unsupport Power Type *****";
constexpr const char* kConnectionRemoved = "Connection Removed!";
constexpr const char* kCaptionConnected = "Connected!";
constexpr const char* kCaptionRemoved = "Removed!";
constexpr const char* kWattHint = "Watt: ";
constexpr const char* kNotSaved = "Settings could not be saved!";
constexpr int kWattHintDecimals = 2;

// The three page pictures, stacked where the pages show.

constexpr std::chrono::milliseconds kAlarmInterval{1000};
constexpr std::chrono::milliseconds kGaugeInterval{1000};
// After a failed reconnection: once a second, five times. The first notice of a device often
// comes before its hidraw node exists or has its permissions.
constexpr std::chrono::milliseconds kReconnectInterval{1000};
constexpr int kReconnectTries = 5;
// Start-up waits this long for the access mutex before the window shows whom it waits for.
constexpr std::chrono::milliseconds kLockNoticeAfter{1000};
constexpr std::chrono::milliseconds kLockCaptionInterval{1000};
constexpr const char* kLockCaptionLead = "Waiting for the PSU lock (held by ";
// The window while it waits: a plain strip that shows the caption, no skin yet.
constexpr ui::Size kLockNoticeSize{640, 36};
constexpr ui::Color kLockNoticeBackground{32, 32, 32};
constexpr ui::Color kLockNoticeInk{255, 255, 255};

}  // namespace

TFormMain::TFormMain(FormMainEnvironment environment)
    : env_(std::move(environment)),
      window_(std::make_unique<ui::Window>(env_.app, ui::Size{kClientWidth, kClientHeight})),
      timerAlarm_(env_.app),
      timerGauge_(env_.app),
      timerReconnect_(env_.app),
      timerLockWait_(env_.app) {
  // Window properties and creation defaults.
  window_->SetCaption(kCaption);
  window_->SetTransparentColor(ui::colors::kMagenta);
  window_->SetBackgroundColor(ui::colors::kMagenta);
  window_->CenterOnScreen();

  drag_.AttachBackground();

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

  if (env_.imageStrips) lists_.Fill(env_.imageStrips);
  monitor_ = std::make_unique<MonitorPage>(*window_, skinFiles_, lists_);

  tray_ = std::make_unique<TrayMenu>(
      env_.app, *window_,
      TrayMenu::Actions{[this] { Default1Click(); }, [this] { History1Click(); },
                        [this](bool on) { NotifyOnAlarmClick(on); }, [this] { Show1Click(); },
                        [this] { Exit1Click(); }, [this] { TrayIcon1Minimize(); },
                        [this] { TrayIcon1Restore(); }});
  timerAlarm_.SetInterval(kAlarmInterval);
  monitor_->OnVolNegAll = [this] { VolNegAllClick(); };
  monitor_->OnCurAll = [this] { CurAllClick(); };
  details_ = std::make_unique<detail::DetailWindows>(
      detail::DetailEnvironment{env_.app, env_.store, env_.programFolder,
                                env_.imageStrips ? env_.imageStrips("ILANumber") : nullptr});
  blink_ = std::make_unique<alarms::AlarmBlink>(*window_, env_.app, skinFiles_, alarmStatus_);
  timerAlarm_.OnTimer = [this](ui::Timer&) { TimerAlarmTimer(); };
  timerReconnect_.SetInterval(kReconnectInterval);
  timerReconnect_.OnTimer = [this](ui::Timer&) { TimerReconnectTimer(); };

#ifdef QUELTA_HISTORY_RECORD
  if (!env_.historyFile.empty()) {
    history_ = std::make_unique<HistoryHookup>(
        env_.historyFile, env_.historyClock ? *env_.historyClock : systemClock_, env_.store,
        [&loop = env_.app.Loop()](std::function<void()> task) { loop.Post(std::move(task)); },
        [this](const std::string& text) { env_.app.GetDialogs().ShowMessage(text); });
  }
#endif
  MakeHandovers();

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
  timerGauge_.SetInterval(kGaugeInterval);
  timerGauge_.OnTimer = [this](ui::Timer&) { GaugeTick(); };
  timerGauge_.SetEnabled(true);

  FormCreate();
}

TFormMain::~TFormMain() {
  // FormDestroy: no notification and no hand-over may reach a window being taken apart.
  env_.app.Bitmaps().SetOnDecodeFailure({});
  env_.bus.SetChangeListener({});
  StopWorkers();
  connection_->DisconnectDevice();
  connection_.reset();
}

void TFormMain::MakeHandovers() {
  handovers_ = std::make_shared<device::WorkerHandovers>();
  device::WorkerHandovers& to = *handovers_;
  to.PowerRatingReady = [this](std::int32_t rating) {
    if (rating != 0) {
      monitor_->SetPowerRating(rating);
      if (alarmPage_) alarmPage_->SetPowerRating(rating);
      return;
    }
    env_.app.GetDialogs().ShowMessage(kUnsupportedPower);
    window_->Close();
  };
  to.VoltagesReady = [this](const device::ReadingSet& r) {
    monitor_->Readings().CopyVoltages(r);
    details_->VoltagesReady(monitor_->Readings().Values());
  };
  to.CurrentsReady = [this](const device::ReadingSet& r) { monitor_->Readings().CopyCurrents(r); };
  to.WattReady = [this](const device::ReadingSet& r) {
    monitor_->Readings().CopyWatt(r.WattTotal);
    tray_->Icon().SetHint(kWattHint + core::FixedText(r.WattTotal, kWattHintDecimals));
  };
  to.FansReady = [this](const device::ReadingSet& r) { monitor_->Readings().CopyFans(r); };
  to.TempsReady = [this](const device::ReadingSet& r) { monitor_->Readings().CopyTemps(r); };
  to.CycleComplete = [this] {
    if (CurrentPage() == Page::kMonitor) {
      monitor_->RefreshMonitorPage();
      details_->MonitorPageRefreshed(monitor_->Readings().Values());
    }
    EvaluateAlarms();
#ifdef QUELTA_HISTORY_RECORD
    if (history_) history_->CycleComplete(monitor_->Readings().Values(), alarmStatus_.Flags());
#endif
  };
  to.ConnectionRemoved = [this] {
    ConnectionLost();
    env_.app.GetDialogs().ShowMessage(kConnectionRemoved);
  };
  // The worker refused to step a rail on readings or a target it cannot trust: say which.
  to.TrimRefused = [this](const std::string& why) { env_.app.GetDialogs().ShowMessage(why); };
  // A command that did not reach the PSU: the page that placed it says so (the LED's button
  // has no page of its own).
  to.CommandFailed = [this](device::DeviceCommand::Code code, const std::string& cause) {
    if (code != device::DeviceCommand::Led && config_) {
      config_->CommandFailed(cause);
    } else {
      env_.app.GetDialogs().ShowMessage(cause);
    }
  };
  to.StartFailed = [this](std::uint64_t generation) {
    // The current worker could not start: the device is no longer connected, so the next
    // device notice connects again, as does the restart message.
    if (!connection_->IsCurrentWorker(generation)) return;
    ConnectionLost();
    connected_ = false;
    window_->SetCaption(kCaptionRemoved);
  };
}

void TFormMain::ConnectionLost() {
#ifdef QUELTA_HISTORY_RECORD
  if (history_) history_->ConnectionLost();
#endif
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
  connected_ = presentAtCreation_;
  while (!connected_) {
    if (!dialogs.AskYesNo(kConnectFail)) break;
    connected_ = device::IsDevicePresent(env_.bus, device::kMonitorDevice.instanceText);
  }
  if (!connected_) {
    closeOnActivate_ = true;
    return;
  }
  // Found only after the question: the probe starts now (nothing, when one is under way).
  connection_->ProbeAhead(ProbeFinishedNotice());
  // The access mutex is shared with every program and every user of the machine, and its
  // holder may keep it as long as it likes: past a short wait the window goes live and says
  // whom it waits for, and the probe finishes on its own thread.
  if (!connection_->AwaitProbeLock(kLockNoticeAfter)) {
    WaitForLock();
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
  } else if (!LoadSkin()) {
    dialogs.ShowMessage(kReadUiFail);
  } else {
    LoadSettings();
    DecodeRestAhead();
    monitor_->SetFanTimersEnabled(false);
    timerAlarm_.SetEnabled(true);
    // The hook: from here on device notifications and our own messages are handled.
    const ui::WindowHandle handle = window_->Handle();
    env_.bus.SetChangeListener([handle] {
      handle.PostTask([](ui::Window& window) {
        window.DeliverMessage(ui::Message{kDeviceChangeMessage, 0, 0});
      });
    });
    window_->OnMessage = [this](ui::Window&, const ui::Message& message) {
      MainWindowProc(message);
    };
    started_ = true;
    if (whenStarted_) std::exchange(whenStarted_, {})();
    return;
  }
  closeOnActivate_ = true;
}

std::function<void()> TFormMain::ProbeFinishedNotice() {
  // From the probe's thread. The task runs only while the window exists, and the window
  // lives as long as this form.
  return [this, handle = window_->Handle()] {
    handle.PostTask([this](ui::Window&) { ProbeFinished(); });
  };
}

void TFormMain::WaitForLock() {
  waitingForLock_ = true;
  // Not the skinned window yet: a plain strip, so that the caption shows on any desktop.
  window_->SetTransparentColor(std::nullopt);
  window_->SetBackgroundColor(kLockNoticeBackground);
  window_->SetClientSize(kLockNoticeSize);
  window_->CenterOnScreen();
  lockNotice_ = std::make_unique<ui::TextLabel>(
      *window_, ui::Rect{0, 0, kLockNoticeSize.width, kLockNoticeSize.height}, kLockNoticeInk);
  ShowLockCaption();
  // The holder may change while we wait: the caption follows.
  timerLockWait_.SetInterval(kLockCaptionInterval);
  timerLockWait_.OnTimer = [this](ui::Timer&) { ShowLockCaption(); };
  timerLockWait_.SetEnabled(true);
}

void TFormMain::ShowLockCaption() {
  const std::string caption =
      kLockCaptionLead + platform::HolderText(connection_->AccessMutexHolder()) + ")";
  window_->SetCaption(caption);
  if (lockNotice_) lockNotice_->SetText(caption);
}

void TFormMain::ProbeFinished() {
  if (!waitingForLock_ || closed_) return;  // start-up took the probe's result already
  waitingForLock_ = false;
  timerLockWait_.SetEnabled(false);
  lockNotice_.reset();
  window_->SetCaption(kCaption);
  window_->SetClientSize(ui::Size{kClientWidth, kClientHeight});
  window_->SetTransparentColor(ui::colors::kMagenta);
  window_->SetBackgroundColor(ui::colors::kMagenta);
  window_->CenterOnScreen();
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

bool TFormMain::LoadSkin() {
  skin::SkinLoader loader(env_.store, env_.programFolder, env_.userLanguage);
  skin::SkinLoader::Builders builders;
  builders.managerGroup = [this, &loader](skin::ManagerGroup group,
                                          const skin::PageRecords& records) {
    monitor_->BuildGroup(group, records);
    if (static_cast<int>(group) == skin::kManagerGroupCount - 1) DecodeMonitorPageAhead(loader);
  };
  builders.ctrlPage = [this](const skin::PageRecords& records) {
    bar_ = std::make_unique<pages::ControlBar>(*window_, pages::CtrlButtons::FromRecords(records),
                                               skinFiles_, drag_, MakeHooks());
  };
  builders.configPage = [this, &loader](const skin::PageRecords& records) {
    BuildConfigPage(records, loader.Language().folder);
  };
  builders.alarmPage = [this, &loader](const skin::PageRecords& records) {
    alarmPage_ = std::make_unique<alarms::AlarmPage>(alarms::AlarmPageEnvironment{
        *window_, env_.app, skinFiles_, loader.Language().folder, connection_->PowerRating(),
        lists_.ILANumber, pageImages_.ImgAlarm(), alarms_, alarmStatus_, env_.store,
        [this] { return monitor_->SensorNames(); },
        [this]() -> const device::ReadingSet& { return monitor_->Readings().Values(); }});
    alarmPage_->Build(records);
  };
  ui::BitmapCache& bitmaps = env_.app.Bitmaps();
  const auto loadBitmap = [&](skin::SkinBitmap role, const std::filesystem::path& file) {
    switch (role) {
      case skin::SkinBitmap::ManagerBackground:
        pageImages_.ImgManager().LoadPicture(file);
        break;
      case skin::SkinBitmap::ConfigBackground:
        pageImages_.ImgConfig().LoadPicture(file);
        break;
      case skin::SkinBitmap::AlarmBackground:
        pageImages_.ImgAlarm().LoadPicture(file);
        break;
      case skin::SkinBitmap::TempPSUCelsiusGauge:
        lists_.ILTempPSUCStatusBar.Add(bitmaps.Load(file));
        break;
      case skin::SkinBitmap::TempPSUFahrenheitGauge:
        lists_.ILTempPSUFStatusBar.Add(bitmaps.Load(file));
        break;
    }
  };
  try {
    const bool loaded = loader.Load(connection_->PowerRating(), builders, loadBitmap);
    language_ = loader.Language();
    if (!loaded || !bar_) return false;
    BuildRoll();
    return true;
  } catch (const std::exception& e) {
    // A malformed value or a missing picture: its own error names it, then the load failed.
    if (env_.reportSkinProblem) env_.reportSkinProblem(e.what());
    env_.app.ShowException(std::current_exception());
    return false;
  } catch (...) {
    env_.app.ShowException(std::current_exception());
    return false;
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

void TFormMain::DecodeMonitorPageAhead(const skin::SkinLoader& loader) {
  // The monitor page shows first: its pictures are decoded while the other pages are built,
  // its background (drawn first) ahead of the rest.
  std::vector<ui::BitmapUse> uses{{nullptr, pageImages_.ImgManager().Transparent()}};
  try {
    uses.front().bitmap = env_.app.Bitmaps().Load(
        skin::ResolveSkinPath(env_.programFolder, loader.ManagerBackgroundFile()));
  } catch (const std::exception&) {
    // The loader reports a missing background when its turn comes.
    uses.clear();
  }
  for (ui::BitmapUse& use : window_->PicturesDrawn()) uses.push_back(std::move(use));
  env_.app.Bitmaps().DecodeAhead(std::move(uses));
}

void TFormMain::DecodeRestAhead() {
  // What the first paint still has to decode (the bar's pictures, built last) is decoded from
  // the far end while the paint works from the near one, so the two meet halfway.
  std::vector<ui::BitmapUse> uses;
  for (ui::BitmapUse& use : window_->PicturesDrawn()) {
    if (!use.bitmap->Decoded()) uses.push_back(std::move(use));
  }
  std::reverse(uses.begin(), uses.end());
  env_.app.Bitmaps().DecodeAhead(std::move(uses));
}

void TFormMain::BuildConfigPage(const skin::PageRecords& records,
                                const std::string& languageFolder) {
  pages::ConfigPage::Context context{
      *window_, skinFiles_,   pageImages_.ImgConfig(), lists_.ILNumber, fan_,
      voltage_, fanPageMode_, env_.app.GetDialogs()};
  pages::ConfigPage::Hooks hooks;
  hooks.CurrentPage = [this] { return CurrentPage(); };
  hooks.Requests = connection_.get();
  hooks.SaveConfigSettings = [this] {
    bool saved = false;
    env_.app.Guard([&] { saved = settings::SaveConfigSettings(env_.store, fan_, voltage_); });
    return saved;
  };
  hooks.FanExtrasShown = [this](bool shown) {
    if (roll_) roll_->SetFanExtrasShown(shown);
  };
  config_ = std::make_unique<pages::ConfigPage>(std::move(context), std::move(hooks));
  config_->Build(records, std::string(skin::kSkinFolder) + languageFolder);
}

void TFormMain::BuildRoll() {
  monitorControls_ = std::make_unique<pages::MonitorPageControls>(MakeHooks());
  monitorControls_->Controls().Add(monitor_->MonitorControls());
  monitorControls_->Controls().Add(monitor_->MonitorDisplays());
  monitorControls_->Controls().Add(
      {&blink_->ImgAlarmWatt(), &blink_->ImgAlarmPSU(), &blink_->ImgAlarmSYS()});
  monitorControls_->Extras().Add(monitor_->MonitorExtras());
  blink_->SetTargets(MonitorBlinkTargets(*monitor_, bar_.get(), lists_, skinFiles_,
                                         [this] { return CurrentPage(); }));
  roll_ = std::make_unique<pages::PageRoll>(*window_, pageImages_, *bar_, MakeHooks());
  // The pages the roll moves, one line each.
  roll_->Register(Page::kMonitor, *monitorControls_);
  if (config_) roll_->Register(Page::kConfig, config_->Controls());
  if (alarmPage_) roll_->Register(Page::kAlarm, alarmPage_->Controls());
}

pages::WindowHooks TFormMain::MakeHooks() {
  pages::WindowHooks hooks;
  hooks.StopFanAnimation = [this] {
    monitor_->SetFanTimersEnabled(false);
    monitor_->ImgPSUFan().Hide();
    monitor_->ImgSYSFan().Hide();
  };
  hooks.StartFanAnimation = [this] {
    monitor_->SetFanTimersEnabled(true);
    monitor_->ImgPSUFan().Show();
    monitor_->ImgSYSFan().Show();
  };
  hooks.EnableAlarmTimer = [this] { timerAlarm_.SetEnabled(true); };
  hooks.ConfigSubPage = [this] { return config_ ? config_->ConfigSubPage() : SubPage::kFan; };
  hooks.ShowConfigSubPage = [this] {
    if (config_) config_->ShowConfigSubPage();
  };
  hooks.RefreshAlarmPage = [this] {
    if (alarmPage_) alarmPage_->ShowAlarmGroup();
  };
  hooks.RequestLed = [this](bool on) { return connection_->RequestLed(on); };
  hooks.CloseWindow = [this] { CloseButtonClick(); };
  hooks.MinimizeToTray = [this] { tray_->Icon().Minimize(); };
  return hooks;
}

void TFormMain::LoadSettings() {
  settings::SensorNames names = monitor_->SensorNames();
  env_.app.Guard([&] { settings::LoadAlarmSettings(env_.store, alarms_, names); });
  monitor_->SetSensorNames(names);
  if (alarmPage_) alarmPage_->TakeLoadedSettings(names);
  env_.app.Guard([&] {
    settings::LoadConfigSettings(
        env_.store, fan_, voltage_, fanPageMode_,
        [this](const std::string& text) { env_.app.GetDialogs().ShowMessage(text); });
  });
  monitor_->MarkSelections();
  env_.app.Guard([this] { notices_.SetEnabled(settings::LoadNotifyOnAlarm(env_.store)); });
  tray_->Icon().SetChecked(TrayMenu::kNotifyOnAlarm, notices_.Enabled());
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
      // A worker that could not start left the device not connected; a new one connects it.
      if (connection_->RestartWorker()) {
        connected_ = device::IsDevicePresent(env_.bus, device::kMonitorDevice.instanceText);
      }
      break;
    case kFanCurveApplyMessage:
      if (config_) config_->ApplyFanCurve();
      break;
    case kHistoryWindowMessage:
      History1Click();
      break;
    default:
      break;  // not ours
  }
}

void TFormMain::DeviceChanged() {
  const bool present = device::IsDevicePresent(env_.bus, device::kMonitorDevice.instanceText);
  if (present && !connected_) {
    // "Connected!" only once the connection stands; a failed one is tried again.
    if (!Reconnect()) {
      reconnectTriesLeft_ = kReconnectTries;
      timerReconnect_.SetEnabled(true);
    }
  } else if (!present) {
    timerReconnect_.SetEnabled(false);
    if (connected_) {
      ConnectionLost();
      window_->SetCaption(kCaptionRemoved);
      connection_->DisconnectDevice();
      connected_ = false;
    }
  }
  workers_.ReapFinished();
}

bool TFormMain::Reconnect() {
  if (connection_->ConnectDevice() != device::ConnectResult::Connected) return false;
  timerReconnect_.SetEnabled(false);
  window_->SetCaption(kCaptionConnected);
  connected_ = true;
  return true;
}

void TFormMain::TimerReconnectTimer() {
  const bool present = device::IsDevicePresent(env_.bus, device::kMonitorDevice.instanceText);
  if (connected_ || !present || reconnectTriesLeft_ <= 0) {
    timerReconnect_.SetEnabled(false);
    return;
  }
  --reconnectTriesLeft_;
  if (!Reconnect() && reconnectTriesLeft_ == 0) timerReconnect_.SetEnabled(false);
}

void TFormMain::TrayIcon1Minimize() {
  monitor_->SetFanTimersEnabled(false);
  // Nothing blinks where nobody sees it: the alarms are still judged at every poll cycle, and
  // the blink takes up again when the window comes back.
  timerAlarm_.SetEnabled(false);
}

void TFormMain::TrayIcon1Restore() {
  if (!started_) return;  // no page is built yet
  monitor_->SetFanTimersEnabled(true);
  if (started_ && !closed_ && !timerAlarm_.Enabled()) {
    // The window comes back as a running blink would have left it: one tick now, then
    // one a second.
    TimerAlarmTimer();
    timerAlarm_.SetEnabled(true);
  }
  if (CurrentPage() == Page::kMonitor) monitor_->RefreshMonitorPage();
  if (CurrentPage() == Page::kConfig && config_) config_->ShowConfigSubPage();
  if (CurrentPage() == Page::kAlarm && alarmPage_) alarmPage_->ShowAlarmGroup();
}

void TFormMain::Show1Click() {
  tray_->Icon().Restore();
}

void TFormMain::Exit1Click() {
  // A settings file that cannot be written is reported, and the program still ends. Before
  // start-up has loaded them there are no names of the user's to store.
  if (started_) env_.app.Guard([this] { SaveSensorNames(); });
  window_->Close();
}

void TFormMain::Default1Click() {
  // Before start-up has loaded the settings there is nothing to restore them over: the save
  // would write the names the window starts with over the stored ones.
  if (!started_) return;
  if (alarmPage_) {
    alarmPage_->RestoreDefaults(CurrentPage() == Page::kAlarm);
  } else if (!settings::RestoreAlarmDefaults(env_.store, alarms_, monitor_->SensorNames())) {
    env_.app.GetDialogs().ShowMessage(alarms::kAlarmSaveFailed);
  }
}

void TFormMain::History1Click() {
  if (env_.openHistory) env_.openHistory();
}

void TFormMain::NotifyOnAlarmClick(bool on) {
  notices_.SetEnabled(on);
  bool saved = false;
  env_.app.Guard([&] { saved = settings::SaveNotifyOnAlarm(env_.store, on); });
  if (!saved) env_.app.GetDialogs().ShowMessage(kNotSaved);
}

void TFormMain::EvaluateAlarms() {
  const device::ReadingSet& readings = monitor_->Readings().Values();
  alarmStatus_.Flags() = alarms::EvaluateAlarms(readings, alarms_, CurrentPage() == Page::kMonitor);
  blink_->ShowIcons();
  // Told once as an alarm starts; the blink that follows tells nothing more.
  for (const alarms::AlarmNotice& notice :
       notices_.Evaluated(alarmStatus_.Flags(), readings, alarms_)) {
    if (env_.notifier) env_.notifier->Notify(notice.summary, notice.body);
  }
}

void TFormMain::TimerAlarmTimer() {
  blink_->TimerAlarmTimer();
}

void TFormMain::VolNegAllClick() {
  details_->ShowVoltageWindow(monitor_->Readings().Values(), language_.folder, DetailRating());
}

void TFormMain::CurAllClick() {
  details_->ShowCurrentWindow(monitor_->Readings().Values(), language_.folder, DetailRating());
}

std::int32_t TFormMain::DetailRating() const {
  const std::int32_t handedOver = monitor_->Readings().Values().PowerRating;
  return handedOver != 0 ? handedOver : connection_->PowerRating();
}

void TFormMain::GaugeTick() {
  const device::ReadingSet& values = monitor_->Readings().Values();
  gauge_.GaugeTick({values.WattTotal, values.TempPSU, values.FanPSU},
                   alarms::GaugeThresholdsOf(alarms_), GaugeGroupMuted());
}

device::GaugeMuted TFormMain::GaugeGroupMuted() const {
  return device::GaugeMuted{GroupMuted(settings::AlarmGroup::kWatt),
                            GroupMuted(settings::AlarmGroup::kFanSpeed),
                            GroupMuted(settings::AlarmGroup::kTemperature)};
}

void TFormMain::SaveSensorNames() {
  settings::SaveSensorNames(env_.store, monitor_->SensorNames());
}

void TFormMain::FormClose() {
  if (closed_) return;
  closed_ = true;
  timerAlarm_.SetEnabled(false);
  timerGauge_.SetEnabled(false);
  timerReconnect_.SetEnabled(false);
  timerLockWait_.SetEnabled(false);
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
