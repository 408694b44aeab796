#include "mainwindow/window_settings.h"

#include <string>

#include "alarms/alarm_page.h"
#include "mainwindow/tray_menu.h"
#include "platform/ui/dialogs.h"
#include "settings/alarm_settings_store.h"
#include "settings/config_settings_store.h"
#include "settings/program_settings_store.h"

namespace mainwindow {
namespace {

constexpr const char* kNotSaved = "Settings could not be saved!";

}  // namespace

void WindowSettings::Load() {
  FormMainEnvironment& env = p_.env;
  session::MonitorSession& session = p_.session;
  settings::SensorNames names = p_.monitor.SensorNames();
  env.app.Guard([&] { settings::LoadAlarmSettings(env.store, session.Alarms(), names); });
  p_.monitor.SetSensorNames(names);
  if (alarms::AlarmPage* page = p_.pages.AlarmPage()) page->TakeLoadedSettings(names);
  env.app.Guard([&] {
    settings::LoadConfigSettings(
        env.store, session.Fans(), session.Voltages(), session.FanPageMode(),
        [&env](const std::string& text) { env.app.GetDialogs().ShowMessage(text); });
  });
  p_.monitor.MarkSelections();
  env.app.Guard([&] { p_.notices.SetEnabled(settings::LoadNotifyOnAlarm(env.store)); });
  p_.tray.SetChecked(TrayMenu::kNotifyOnAlarm, p_.notices.Enabled());
}

void WindowSettings::SaveSensorNames() {
  settings::SaveSensorNames(p_.env.store, p_.monitor.SensorNames());
}

void WindowSettings::SaveNotifyOnAlarm(bool on) {
  p_.notices.SetEnabled(on);
  bool saved = false;
  p_.env.app.Guard([&] { saved = settings::SaveNotifyOnAlarm(p_.env.store, on); });
  if (!saved) p_.env.app.GetDialogs().ShowMessage(kNotSaved);
}

void WindowSettings::RestoreAlarmDefaults() {
  if (alarms::AlarmPage* page = p_.pages.AlarmPage()) {
    page->RestoreDefaults(p_.pages.CurrentPage() == pages::Page::kAlarm);
  } else if (!settings::RestoreAlarmDefaults(p_.env.store, p_.session.Alarms(),
                                             p_.monitor.SensorNames())) {
    p_.env.app.GetDialogs().ShowMessage(alarms::kAlarmSaveFailed);
  }
}

}  // namespace mainwindow
