#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "device/reading_set.h"
#include "device/worker_handovers.h"
#include "session/alarm_judge.h"
#include "session/monitor_readings.h"
#include "session/poll_news.h"
#include "session/session_observer.h"
#include "settings/alarm_settings.h"
#include "settings/fan_curve.h"
#include "settings/fan_settings.h"
#include "settings/setting_codes.h"
#include "settings/trim_targets.h"
#include "settings/voltage_settings.h"

namespace session {

// The model of one PSU while the program runs: the readings with their peaks, the alarm flags,
// the stored settings as held in memory (alarm thresholds, fan curves, trim targets), the values
// the configuration page is editing and the connection. It takes the worker's hand-overs in their
// order and tells its observers once per poll, after the poll's last group; views query it and only
// draw. No toolkit, no UI port. UI thread only.
class MonitorSession {
 public:
  explicit MonitorSession(AlarmJudge judge) : judge_(std::move(judge)) {}
  MonitorSession(const MonitorSession&) = delete;
  MonitorSession& operator=(const MonitorSession&) = delete;

  // An observer stays registered until removed; it must outlive its registration.
  void AddObserver(SessionObserver& observer);
  void RemoveObserver(SessionObserver& observer);

  // The worker's hand-overs, by their names and in their order.
  void PowerRatingReady(std::int32_t rating);
  void VoltagesReady(const device::ReadingSet& readings);
  void CurrentsReady(const device::ReadingSet& readings);
  void WattReady(const device::ReadingSet& readings);
  void FansReady(const device::ReadingSet& readings);
  void TempsReady(const device::ReadingSet& readings);
  // Every group was read while the device was ready: the alarms are judged on this poll.
  void CycleComplete();
  // The poll is over: the observers hear of it, once.
  void PollEnd();
  // The worker ended. The connection state stays as its owner set it: the owner decides from
  // the device's presence whether to connect again.
  void ConnectionRemoved();
  // Points the worker's reading hand-overs (rating, groups, cycle, poll end, removal) at this
  // session. The others (trim, command failures, start failures) stay the owner's.
  void TakeHandovers(device::WorkerHandovers& handovers);

  // The connection as its owner finds it; observers hear of a change only.
  void SetConnected(bool connected);
  bool Connected() const { return connected_; }

  const MonitorReadings& Readings() const { return readings_; }
  // For the peaks' reset and for tests that stand in for the worker.
  MonitorReadings& Readings() { return readings_; }
  const device::ReadingSet& Values() const { return readings_.Values(); }
  // The rating handed over by the worker; 0 until then.
  std::int32_t PowerRating() const { return readings_.Values().PowerRating; }

  // Every alarm flag, held here alone: the window's views read them, and the alarm page's group
  // switch sets the temperature flags at once, between polls.
  const AlarmFlags& Flags() const { return flags_; }
  AlarmFlags& Flags() { return flags_; }
  // Each row's indicator showed its alarm look on the blink's last tick.
  const AlarmFlags& BlinkPhases() const { return blinkPhases_; }
  AlarmFlags& BlinkPhases() { return blinkPhases_; }
  // Judges the alarms on the present readings now, as a completed cycle does, and says which
  // started and ended.
  void JudgeAlarms(PollNews& news);

  // The stored settings as the program holds them between loads and saves.
  settings::AlarmSettings& Alarms() { return alarms_; }
  const settings::AlarmSettings& Alarms() const { return alarms_; }
  // The fan-curve values (modes, sensor, start volts and rising degrees of every preset).
  settings::FanSettings& Fans() { return fan_; }
  // The trim targets and their factory values.
  settings::VoltageSettings& Voltages() { return voltage_; }
  // The fan-speed page's mode as loaded.
  settings::FanMode& FanPageMode() { return fanPageMode_; }

  // The values the configuration page is editing, held apart from the stored texts: the page
  // writes them as the user drags and types, OK sends what they hold, and only a finished drag
  // or OK turns them into stored settings. All zero, every rail off, until a page shows them.
  // The fan curve of the selected fan (start volts, rising degrees Celsius, sensor).
  settings::FanCurve& FanCurve() { return fanCurve_; }
  const settings::FanCurve& FanCurve() const { return fanCurve_; }
  // The trim targets rail by rail, each with whether its rail is trimmed.
  settings::TrimTargets& Trims() { return trims_; }
  const settings::TrimTargets& Trims() const { return trims_; }

 private:
  template <typename Call>
  void Tell(Call call);

  AlarmJudge judge_;
  std::vector<SessionObserver*> observers_;
  MonitorReadings readings_;
  AlarmFlags flags_{};
  AlarmFlags blinkPhases_{};
  PollNews news_;  // of the poll under way
  bool connected_ = false;

  settings::AlarmSettings alarms_;
  settings::FanSettings fan_;
  settings::VoltageSettings voltage_;
  settings::FanMode fanPageMode_{};
  settings::FanCurve fanCurve_;
  settings::TrimTargets trims_;
};

}  // namespace session
