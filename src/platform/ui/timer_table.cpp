#include "platform/ui/timer_table.h"

namespace ui {

EventLoop::TimerId TimerTable::Start(Millis now, Millis interval, EventLoop::Task onTick) {
  const EventLoop::TimerId id = ++lastId_;
  timers_.emplace(id, Entry{interval, now + interval,
                            std::make_shared<const EventLoop::Task>(std::move(onTick))});
  return id;
}

std::optional<TimerTable::Millis> TimerTable::NextDue() const {
  std::optional<Millis> next;
  for (const auto& [id, entry] : timers_) {
    if (entry.interval <= Millis{0}) continue;
    if (!next || entry.due < *next) next = entry.due;
  }
  return next;
}

std::shared_ptr<const EventLoop::Task> TimerTable::TakeDue(Millis now) {
  Entry* earliest = nullptr;
  // The map is ordered by id, so among equal due times the first started wins.
  for (auto& [id, entry] : timers_) {
    if (entry.interval <= Millis{0} || entry.due > now) continue;
    if (!earliest || entry.due < earliest->due) earliest = &entry;
  }
  if (!earliest) return nullptr;
  earliest->due += earliest->interval;
  if (missed_ == Missed::Skip && earliest->due <= now) earliest->due = now + earliest->interval;
  return earliest->onTick;
}

}  // namespace ui
