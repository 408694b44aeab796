#include "mainwindow/history_hookup.h"

#include <exception>

namespace mainwindow {
namespace {

// A poll about every 3 s: the settings file is looked at again about once a minute.
constexpr int kCyclesPerReload = 20;

}  // namespace

HistoryHookup::HistoryHookup(const std::filesystem::path& file, const history::HistoryClock& clock,
                             platform::RegistryStore& store,
                             std::function<void(std::function<void()>)> post, Tell tell)
    : store_(store) {
  history::HistoryRecorderOptions options;
  options.file = file;
  std::weak_ptr<bool> alive = alive_;
  writer_ = std::make_unique<history::HistoryWriter>(
      options, clock,
      [alive, post = std::move(post), tell = std::move(tell)](const std::string& text) {
        post([alive, tell, text] {
          if (alive.lock() && tell) tell(text);
        });
      });
  ReloadSettings();
}

HistoryHookup::~HistoryHookup() {
  *alive_ = false;
  alive_.reset();
}

void HistoryHookup::CycleComplete(const device::ReadingSet& readings,
                                  const alarms::AlarmState& flags) {
  if (connectionLost_) ConnectionBack();
  writer_->Poll(readings);
  for (std::size_t i = 0; i < alarms::kAlarmRowCount; ++i) {
    if (flags.flags[i] == lastFlags_.flags[i]) continue;
    writer_->Event(flags.flags[i] ? history::HistoryEventKind::AlarmStart
                                  : history::HistoryEventKind::AlarmEnd,
                   alarms::kAlarmRowNames[i]);
  }
  lastFlags_ = flags;
  if (++cyclesSinceReload_ >= kCyclesPerReload) ReloadSettings();
}

void HistoryHookup::ConnectionLost() {
  if (connectionLost_) return;
  connectionLost_ = true;
  writer_->Event(history::HistoryEventKind::ConnectionLost);
}

void HistoryHookup::ConnectionBack() {
  if (!connectionLost_) return;
  connectionLost_ = false;
  writer_->Event(history::HistoryEventKind::ConnectionBack);
}

bool HistoryHookup::Enabled() const {
  return writer_->Enabled();
}

void HistoryHookup::SetEnabled(bool enabled) {
  writer_->SetEnabled(enabled);
}

void HistoryHookup::ReloadSettings() {
  cyclesSinceReload_ = 0;
  try {
    const history::HistorySettings settings = history::LoadHistorySettings(store_);
    writer_->SetEnabled(settings.enabled);
    writer_->SetRetentionDays(settings.retentionDays);
  } catch (const std::exception&) {
    // A value that cannot be read keeps what was in force; `quelta-ctl history status`
    // names the value.
  }
}

}  // namespace mainwindow
