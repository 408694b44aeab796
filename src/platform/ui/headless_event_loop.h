#pragma once

#include <atomic>
#include <functional>

#include "platform/ui/event_loop.h"
#include "platform/ui/posted_tasks.h"
#include "platform/ui/timer_table.h"

namespace ui {

// The loop of tests and of the headless application: time is virtual and moves only when the
// test says so. The thread that calls AdvanceBy, RunPending, RunUntil or Run is the UI thread.
class HeadlessEventLoop : public EventLoop {
 public:
  HeadlessEventLoop() = default;
  HeadlessEventLoop(const HeadlessEventLoop&) = delete;
  HeadlessEventLoop& operator=(const HeadlessEventLoop&) = delete;

  void Post(Task fn) override;
  TimerId StartTimer(std::chrono::milliseconds interval, Task onTick) override;
  void StopTimer(TimerId id) override { timers_.Stop(id); }
  Clock Now() const override { return Clock{now_.load()}; }

  // Runs posted tasks, waiting for more, until Quit. Virtual time stands still meanwhile.
  void Run() override;
  void Quit() override;

  // Runs the posted tasks, also those they post, until none is left. Returns how many ran.
  std::size_t RunPending();

  // Moves virtual time forward by `step`: every tick that comes due runs at its own due time,
  // in time order, with the posted tasks run before the first tick and after each.
  void AdvanceBy(std::chrono::milliseconds step);

  // Runs posted tasks as they come (from any thread) until `done` holds, blocking in between
  // without spinning. Gives up after `realLimit` of wall-clock time; returns whether `done`
  // held. Virtual time stands still.
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds realLimit);

  std::size_t TimerCount() const { return timers_.Count(); }

 private:
  PostedTasks tasks_;
  std::atomic<std::int64_t> now_{0};
  TimerTable timers_{TimerTable::Missed::RunEach};  // UI thread only
};

}  // namespace ui
