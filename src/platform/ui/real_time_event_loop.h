#pragma once

#include <chrono>

#include "platform/ui/event_loop.h"
#include "platform/ui/posted_tasks.h"
#include "platform/ui/timer_table.h"

namespace ui {

// A plain wall-clock loop for programs without a window (the command-line tool). The thread
// that calls Run is the UI thread; it sleeps on a condition variable until a task is posted,
// a timer comes due or Quit is called. Ticks missed while a task ran long are skipped, not
// run in a burst.
class RealTimeEventLoop : public EventLoop {
 public:
  RealTimeEventLoop();
  RealTimeEventLoop(const RealTimeEventLoop&) = delete;
  RealTimeEventLoop& operator=(const RealTimeEventLoop&) = delete;

  void Post(Task fn) override;
  TimerId StartTimer(std::chrono::milliseconds interval, Task onTick) override;
  void StopTimer(TimerId id) override { timers_.Stop(id); }
  Clock Now() const override;
  void Run() override;
  void Quit() override;

 private:
  const std::chrono::steady_clock::time_point start_;
  PostedTasks tasks_;
  TimerTable timers_{TimerTable::Missed::Skip};  // UI thread only
};

}  // namespace ui
