#include "app/ctl/polled_session.h"

#include "alarms/alarm_evaluation.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/monitor_session.h"
#include "core/numbers.h"
#include "platform/registry/registry.h"
#include "settings/alarm_settings_store.h"

namespace app::ctl {

PolledSession::PolledSession()
    : session_([](const device::ReadingSet& readings, const settings::AlarmSettings& settings) {
        return alarms::EvaluateAlarms(readings, settings, /*monitorPageShown=*/true).flags;
      }) {}

int PolledSession::Poll(CtlEnvironment& environment) {
  try {
    settings::SensorNames names;
    settings::LoadAlarmSettings(environment.Registry(), session_.Alarms(), names);
  } catch (const core::ConversionError& error) {
    environment.Err() << error.what() << '\n';
    return kExitSettingsError;
  } catch (const platform::RegistryReadError& error) {
    environment.Err() << error.what() << '\n';
    return kExitSettingsError;
  }
  StatusSnapshot snapshot;
  bool read = false;
  const int code = RunUnderAccessLock(environment, [&](device::MonitorProtocol& protocol) {
    snapshot = ReadStatusSnapshot(protocol);
    read = true;
    return kExitDone;
  });
  // Judged once the lock is released, as printing is: the lock is held for the exchanges alone.
  if (read) Take(snapshot);
  return code;
}

void PolledSession::Take(const StatusSnapshot& snapshot) {
  session_.AddObserver(told_);
  groups_ = snapshot.groups;
  const StatusGroups& groups = snapshot.groups;
  const device::ReadingSet& readings = snapshot.readings;
  if (groups.PowerRating) session_.PowerRatingReady(readings.PowerRating);
  if (groups.Voltages()) session_.VoltagesReady(readings);
  if (groups.Currents) session_.CurrentsReady(readings);
  // The total is worked out from whatever was read, as the worker's is.
  session_.WattReady(readings);
  if (groups.Fans) session_.FansReady(readings);
  // The needles want the PSU's temperature even when the sensors' read failed; a temperature
  // that was not read is 0 in the snapshot as in a session that never heard of it.
  if (groups.SensorTemps || groups.PsuTemp) session_.TempsReady(readings);
  if (groups.EveryReading()) session_.CycleComplete();
  session_.PollEnd();
  session_.RemoveObserver(told_);
}

}  // namespace app::ctl
