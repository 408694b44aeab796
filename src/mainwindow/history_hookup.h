#pragma once

#include <functional>
#include <memory>
#include <string>

#include "alarms/alarm_state.h"
#include "device/reading_set.h"
#include "history/history_clock.h"
#include "history/history_settings.h"
#include "history/history_writer.h"
#include "platform/registry/registry.h"

namespace mainwindow {

// What the window records: every completed poll, the start and end of each alarm row, the
// connection lost and back. UI thread only; the writing happens on the writer's own thread,
// so no call here waits for the disk.
class HistoryHookup {
 public:
  // Told on the UI thread of whatever the user should know about the record (a file set
  // aside, recording failing or working again).
  using Tell = std::function<void(const std::string&)>;

  // `post` runs a task on the UI thread (from the writer's thread). The switch and retention
  // come from `store`; the record is `file`.
  HistoryHookup(const std::filesystem::path& file, const history::HistoryClock& clock,
                platform::RegistryStore& store, std::function<void(std::function<void()>)> post,
                Tell tell);
  ~HistoryHookup();
  HistoryHookup(const HistoryHookup&) = delete;
  HistoryHookup& operator=(const HistoryHookup&) = delete;

  // At the end of each CycleComplete, after the alarms were judged: the readings as the
  // window holds them, and an event for each row whose flag changed since the last cycle.
  void CycleComplete(const device::ReadingSet& readings, const alarms::AlarmState& flags);
  // The device went away (once per loss, however many ways it is noticed), or came back.
  void ConnectionLost();
  void ConnectionBack();

  // The switch, as the tray menu's item and `quelta-ctl history on|off` set it.
  bool Enabled() const;
  void SetEnabled(bool enabled);
  // Reads the switch and the retention from the settings file again (they may have been
  // changed by quelta-ctl); done by itself about once a minute of polls.
  void ReloadSettings();

  // Waits until everything handed over is written; for tests and for leaving.
  bool Flush(std::chrono::milliseconds deadline) { return writer_->Flush(deadline); }

 private:
  platform::RegistryStore& store_;
  // Set false at destruction: a notice posted by the writer afterwards is dropped.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::unique_ptr<history::HistoryWriter> writer_;
  alarms::AlarmState lastFlags_;
  bool connectionLost_ = false;
  int cyclesSinceReload_ = 0;
};

}  // namespace mainwindow
