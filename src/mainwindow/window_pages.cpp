#include "mainwindow/window_pages.h"

#include <exception>
#include <utility>

#include "mainwindow/alarm_hookup.h"
#include "mainwindow/skin_pictures.h"
#include "pages/ctrl_buttons.h"
#include "settings/config_settings_store.h"
#include "skin/skin_files.h"
#include "skin/skin_pages.h"
#include "skin/skin_path.h"

namespace mainwindow {

bool WindowPages::LoadSkin() {
  FormMainEnvironment& env = p_.env;
  skin::SkinLoader loader(env.store, env.programFolder, env.userLanguage);
  const auto loadBitmap = [this](skin::SkinBitmap role, const std::filesystem::path& file) {
    PlaceSkinPicture(role, file, p_.pageImages, p_.lists, p_.env.app.Bitmaps());
  };
  try {
    const bool loaded = loader.Load(p_.connection.PowerRating(), SkinBuilders(loader), loadBitmap);
    language_ = loader.Language();
    if (!loaded || !bar_) return false;
    BuildRoll();
    return true;
  } catch (const std::exception& e) {
    // A malformed value or a missing picture: its own error names it, then the load failed.
    if (env.reportSkinProblem) env.reportSkinProblem(e.what());
    env.app.ShowException(std::current_exception());
    return false;
  } catch (...) {
    env.app.ShowException(std::current_exception());
    return false;
  }
}

skin::SkinLoader::Builders WindowPages::SkinBuilders(skin::SkinLoader& loader) {
  skin::SkinLoader::Builders builders;
  builders.managerGroup = [this, &loader](skin::ManagerGroup group,
                                          const skin::PageRecords& records) {
    p_.monitor.BuildGroup(group, records);
    if (static_cast<int>(group) == skin::kManagerGroupCount - 1) {
      DecodeMonitorPageAhead(p_.env.app, p_.window, p_.env.programFolder, loader,
                             p_.pageImages.ImgManager().Transparent());
    }
  };
  builders.ctrlPage = [this](const skin::PageRecords& records) {
    bar_ = std::make_unique<pages::ControlBar>(p_.window, pages::CtrlButtons::FromRecords(records),
                                               p_.files, p_.drag, MakeHooks());
  };
  builders.configPage = [this, &loader](const skin::PageRecords& records) {
    BuildConfigPage(records, loader.Language().folder);
  };
  builders.alarmPage = [this, &loader](const skin::PageRecords& records) {
    BuildAlarmPage(records, loader.Language().folder);
  };
  return builders;
}

void WindowPages::BuildConfigPage(const skin::PageRecords& records,
                                  const std::string& languageFolder) {
  session::MonitorSession& session = p_.session;
  pages::ConfigPage::Context context{p_.window,
                                     p_.files,
                                     p_.pageImages.ImgConfig(),
                                     p_.lists.ILNumber,
                                     session.Fans(),
                                     session.Voltages(),
                                     session.FanPageMode(),
                                     session.FanCurve(),
                                     session.Trims(),
                                     p_.env.app.GetDialogs()};
  pages::ConfigPage::Hooks hooks;
  hooks.CurrentPage = [this] { return CurrentPage(); };
  hooks.Requests = &p_.connection;
  hooks.SaveConfigSettings = [this] {
    bool saved = false;
    p_.env.app.Guard([&] {
      saved = settings::SaveConfigSettings(p_.env.store, p_.session.Fans(), p_.session.Voltages());
    });
    return saved;
  };
  config_ = std::make_unique<pages::ConfigPage>(std::move(context), std::move(hooks));
  config_->Build(records, std::string(skin::kSkinFolder) + languageFolder);
}

void WindowPages::BuildAlarmPage(const skin::PageRecords& records,
                                 const std::string& languageFolder) {
  alarmPage_ = std::make_unique<alarms::AlarmPage>(alarms::AlarmPageEnvironment{
      p_.window, p_.env.app, p_.files, languageFolder, p_.connection.PowerRating(),
      p_.lists.ILANumber, p_.pageImages.ImgAlarm(), p_.session.Alarms(), p_.alarmStatus,
      p_.env.store, [this] { return p_.monitor.SensorNames(); },
      [this]() -> const device::ReadingSet& { return p_.session.Values(); }});
  alarmPage_->Build(records);
}

void WindowPages::BuildRoll() {
  monitorControls_ = std::make_unique<pages::MonitorPageControls>(MakeHooks());
  monitorControls_->Controls().Add(p_.monitor.MonitorControls());
  monitorControls_->Controls().Add(p_.monitor.MonitorDisplays());
  monitorControls_->Controls().Add(
      {&p_.blink.ImgAlarmWatt(), &p_.blink.ImgAlarmPSU(), &p_.blink.ImgAlarmSYS()});
  monitorControls_->Extras().Add(p_.monitor.MonitorExtras());
  p_.blink.SetTargets(MonitorBlinkTargets(p_.monitor, bar_.get(), p_.lists, p_.files,
                                          [this] { return CurrentPage(); }));
  roll_ = std::make_unique<pages::PageRoll>(p_.window, p_.pageImages, *bar_, MakeHooks());
  // The pages the roll moves, one line each.
  roll_->Register(pages::Page::kMonitor, *monitorControls_);
  if (config_) roll_->Register(pages::Page::kConfig, config_->Controls());
  if (alarmPage_) roll_->Register(pages::Page::kAlarm, alarmPage_->Controls());
}

pages::WindowHooks WindowPages::MakeHooks() {
  pages::WindowHooks hooks;
  hooks.StopFanAnimation = [this] {
    p_.monitor.SetFanTimersEnabled(false);
    p_.monitor.ImgPSUFan().Hide();
    p_.monitor.ImgSYSFan().Hide();
  };
  hooks.StartFanAnimation = [this] {
    p_.monitor.SetFanTimersEnabled(true);
    p_.monitor.ImgPSUFan().Show();
    p_.monitor.ImgSYSFan().Show();
  };
  hooks.EnableAlarmTimer = [this] { p_.timerAlarm.SetEnabled(true); };
  hooks.RequestLed = [this](bool on) { return p_.connection.RequestLed(on); };
  hooks.CloseWindow = [this] { p_.close(); };
  hooks.MinimizeToTray = [this] { p_.tray.Minimize(); };
  return hooks;
}

}  // namespace mainwindow
