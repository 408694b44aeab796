#include "app/ctl/polled_session.h"

#include "alarms/alarm_evaluation.h"

namespace app::ctl {

PolledSession::PolledSession(const JudgedPoll& poll)
    : session_([](const device::ReadingSet& readings, const settings::AlarmSettings& settings) {
        return alarms::EvaluateAlarms(readings, settings, /*monitorPageShown=*/true).flags;
      }) {
  session_.AddObserver(told_);
  session_.Alarms() = poll.alarms;
  const StatusGroups& groups = poll.snapshot.groups;
  const device::ReadingSet& readings = poll.snapshot.readings;
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
