#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>

#include "platform/ui/event_loop.h"

namespace ui {

// The repeating timers of one loop, keyed by id, with their next due times on the loop's own
// millisecond clock. UI thread only. Ticks that come due together run in the order the timers
// were started.
class TimerTable {
 public:
  using Millis = std::chrono::milliseconds;

  // What to do with ticks that were missed because the loop was busy or time jumped ahead.
  enum class Missed { RunEach, Skip };

  explicit TimerTable(Missed missed) : missed_(missed) {}

  // The first tick is due one interval after `now`. An interval of 0 or less never comes due.
  EventLoop::TimerId Start(Millis now, Millis interval, EventLoop::Task onTick);
  void Stop(EventLoop::TimerId id) { timers_.erase(id); }

  // The earliest due time of all timers, or nothing when none will fire.
  std::optional<Millis> NextDue() const;

  // Takes the earliest tick due at or before `now`, schedules that timer's next tick and gives
  // its task (shared, so a tick may stop its own timer). Null when nothing is due.
  std::shared_ptr<const EventLoop::Task> TakeDue(Millis now);

  std::size_t Count() const { return timers_.size(); }

 private:
  struct Entry {
    Millis interval;
    Millis due;
    std::shared_ptr<const EventLoop::Task> onTick;
  };

  Missed missed_;
  EventLoop::TimerId lastId_ = 0;
  std::map<EventLoop::TimerId, Entry> timers_;
};

}  // namespace ui
