#include "app/ctl/judged_poll.h"

#include "app/ctl/exit_code.h"
#include "app/ctl/monitor_session.h"
#include "core/numbers.h"
#include "platform/registry/registry.h"
#include "settings/alarm_settings_store.h"

namespace app::ctl {

int RunJudgedPoll(CtlEnvironment& environment, JudgedPoll& poll) {
  try {
    settings::SensorNames names;
    settings::LoadAlarmSettings(environment.Registry(), poll.alarms, names);
  } catch (const core::ConversionError& error) {
    environment.Err() << error.what() << '\n';
    return kExitSettingsError;
  } catch (const platform::RegistryReadError& error) {
    environment.Err() << error.what() << '\n';
    return kExitSettingsError;
  }
  return RunUnderAccessLock(environment, [&poll](device::MonitorProtocol& protocol) {
    poll.snapshot = ReadStatusSnapshot(protocol);
    return kExitDone;
  });
}

}  // namespace app::ctl
