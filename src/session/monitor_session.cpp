#include "session/monitor_session.h"

#include <algorithm>
#include <utility>

namespace session {

void MonitorSession::AddObserver(SessionObserver& observer) {
  observers_.push_back(&observer);
}

void MonitorSession::RemoveObserver(SessionObserver& observer) {
  std::erase(observers_, &observer);
}

template <typename Call>
void MonitorSession::Tell(Call call) {
  // A copy: an observer may remove itself (or another) while it is told.
  const std::vector<SessionObserver*> observers = observers_;
  for (SessionObserver* observer : observers) {
    if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end()) {
      call(*observer);
    }
  }
}

void MonitorSession::PowerRatingReady(std::int32_t rating) {
  if (rating != 0) readings_.SetPowerRating(rating);
  Tell([&](SessionObserver& o) { o.PowerRatingReady(*this, rating); });
}

void MonitorSession::VoltagesReady(const device::ReadingSet& readings) {
  readings_.CopyVoltages(readings);
  news_.voltages = true;
}

void MonitorSession::CurrentsReady(const device::ReadingSet& readings) {
  readings_.CopyCurrents(readings);
  news_.currents = true;
}

void MonitorSession::WattReady(const device::ReadingSet& readings) {
  readings_.CopyWatt(readings.WattTotal);
  news_.watt = true;
}

void MonitorSession::FansReady(const device::ReadingSet& readings) {
  readings_.CopyFans(readings);
  news_.fans = true;
}

void MonitorSession::TempsReady(const device::ReadingSet& readings) {
  readings_.CopyTemps(readings);
  news_.temperatures = true;
}

void MonitorSession::CycleComplete() {
  news_.complete = true;
  JudgeAlarms(news_);
}

void MonitorSession::JudgeAlarms(PollNews& news) {
  const AlarmFlags before = flags_;
  if (judge_) flags_ = judge_(readings_.Values(), alarms_);
  for (std::size_t row = 0; row < kAlarmRows; ++row) {
    news.started[row] = !before[row] && flags_[row];
    news.ended[row] = before[row] && !flags_[row];
  }
}

void MonitorSession::PollEnd() {
  const PollNews news = std::exchange(news_, PollNews{});
  Tell([&](SessionObserver& o) { o.PollCompleted(*this, news); });
}

void MonitorSession::ConnectionRemoved() {
  news_ = PollNews{};
  Tell([&](SessionObserver& o) { o.WorkerEnded(*this); });
}

void MonitorSession::SetConnected(bool connected) {
  if (connected == connected_) return;
  connected_ = connected;
  Tell([&](SessionObserver& o) { o.ConnectionChanged(*this, connected); });
}

void MonitorSession::TakeHandovers(device::WorkerHandovers& to) {
  to.PowerRatingReady = [this](std::int32_t rating) { PowerRatingReady(rating); };
  to.VoltagesReady = [this](const device::ReadingSet& r) { VoltagesReady(r); };
  to.CurrentsReady = [this](const device::ReadingSet& r) { CurrentsReady(r); };
  to.WattReady = [this](const device::ReadingSet& r) { WattReady(r); };
  to.FansReady = [this](const device::ReadingSet& r) { FansReady(r); };
  to.TempsReady = [this](const device::ReadingSet& r) { TempsReady(r); };
  to.CycleComplete = [this] { CycleComplete(); };
  to.PollEnd = [this] { PollEnd(); };
  to.ConnectionRemoved = [this] { ConnectionRemoved(); };
}

}  // namespace session
